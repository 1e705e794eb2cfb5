// The model-space clearing pass: deletes what model space holds before the
// conversion pastes the layout's views into it.
#pragma once

void DeleteMBereich();
