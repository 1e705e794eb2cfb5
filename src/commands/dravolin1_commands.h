// The conversion commands and the dimension-factor pick they start with.
#pragma once

#include "cstring.h"

// DRAVOLIN1: converts the open drawing for the Mechanical add-on.
void quarndravolin1dravolin1();
// DRAVOLINGEN: converts the open drawing for Genius 14.
void quarndravolin1dravolingen();

// Asks the user for a reference dimension and reads its DIMLFAC override
// ("ACAD" extended data, DSTYLE list, 1070 144 followed by a 1040 value) into
// BemFaktor; BemFaktor is 0.0 when none was found.
void getbemfaktor();

// Divides the DIMLFAC override of every entity of the drawing by BemFaktor,
// so that the dimensions of views at the reference scale end with factor 1.
// Refuses, with a message box, while BemFaktor holds no usable factor.
void ReadEntityXdata();

// A factor the conversion can scale by: neither 0.0 (none picked) nor a
// value that is not a finite number.
bool IsUsableFactor(double factor);

// The script texts built from the dimension factor.
CString FormatFactor(double factor);                      // "%f": 2.000000
CString ScaleScript(const CString& csDouble);             // "._scale\n_all\n\n0.0\n2.000000\n"
CString ScaleText(double factor);                         // 1:2.000000, or -0.500000:1 when <= 0
CString ScaleSettingScript(double factor);                // (amgsetdwgsetting "scale" "1:2.000000")
CString DimScaleOverrideScript(const CString& csDouble);  // "bemüberschr\ndimscale\n..."

// The part both conversions share: the entity, dimension-style and
// model-space passes, the scripts that move the views into model space and
// scale them, the factor rewrite, and the add-on's scale, layer and
// DIMSCALE scripts, with their progress messages.
void ConvertViewsToModelSpace(const CString& csDouble, const CString& csScalestr,
                              const CString& csPScalestr);

// Starts the external program that closes the add-on's set-up dialog, or
// says that it is missing.
void StartCloseDialogProgram();
