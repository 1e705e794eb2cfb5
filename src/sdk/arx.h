// The object interface of the CAD host (interface release 15) as far as the
// module uses it: runtime classes and the system registry, the command stack,
// the document and profile managers, and the database's symbol tables.
// Classes with pure virtual members are host classes the module reaches only
// through the registry; the others are implemented by the host and called
// directly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win32.h"

namespace Adesk {
typedef int32_t Int32;
typedef uint16_t UInt16;
typedef int16_t Int16;
typedef bool Boolean;
constexpr bool kTrue = true;
constexpr bool kFalse = false;
}  // namespace Adesk

namespace Acad {
enum ErrorStatus {
  eOk = 0,
  eNotImplementedYet = 1,
  eNotApplicable = 3,
  eInvalidInput = 4,
  eKeyNotFound = 6,
  eDuplicateKey = 7,
  eInvalidIndex = 8,
  eNullObjectId = 14,
  eNullObjectPointer = 15,
  eWasErased = 17,
  eOutOfMemory = 25,
  eDuplicateRecordName = 83,
  eInvalidSymbolTableName = 85,
  eNotOpenForWrite = 80,
  eWasOpenForRead = 82,
  eWasOpenForWrite = 81,
  eNotInDatabase = 92,
  eAlreadyInDb = 107,
  eCloseFailed = 360,
};
}  // namespace Acad

namespace AcDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };
}

namespace AcRx {
enum AppMsgCode {
  kNullMsg = 0,
  kInitAppMsg = 1,
  kUnloadAppMsg = 2,
  kLoadDwgMsg = 3,
  kUnloadDwgMsg = 4,
  kInvkSubrMsg = 5,
  kCfgMsg = 6,
  kEndMsg = 7,
  kQuitMsg = 8,
  kSaveMsg = 9,
};
enum AppRetCode { kRetOK = 0, kRetError = 3 };
}  // namespace AcRx

// Command flags.
enum { ACRX_CMD_MODAL = 0, ACRX_CMD_TRANSPARENT = 1, ACRX_CMD_USEPICKSET = 2 };

typedef void (*AcRxFunctionPtr)();

// ---- runtime classes and the system registry -------------------------------

class AcRxClass;

class AcRxObject {
 public:
  virtual ~AcRxObject();
  virtual AcRxClass* isA() const;
  bool isKindOf(const AcRxClass* cls) const;
};

class AcRxClass : public AcRxObject {
 public:
  AcRxClass(const char* name, AcRxClass* parent);
  AcRxClass* isA() const override;
  const char* name() const { return name_; }
  AcRxClass* myParent() const { return parent_; }
  bool isDerivedFrom(const AcRxClass* other) const;
  static AcRxClass* cast(const AcRxObject* obj);
  static AcRxClass* desc();

 private:
  const char* name_;
  AcRxClass* parent_;
};

class AcRxDictionary : public AcRxObject {
 public:
  virtual AcRxObject* at(const char* key) const = 0;
  static AcRxDictionary* cast(const AcRxObject* obj);
  static AcRxClass* desc();
};

// The host's system registry: "DynamicLinker", "ACAD_REGISTERED_COMMANDS",
// "ClassDictionary".
extern "C" AcRxDictionary* acrxSysRegistry();

class AcRxDynamicLinker : public AcRxObject {
 public:
  virtual bool unlockApplication(void* app_id) const = 0;
  virtual bool registerAppMDIAware(void* app_id) const = 0;
  static AcRxDynamicLinker* cast(const AcRxObject* obj);
  static AcRxClass* desc();
};

class AcEdUIContext;
class AcEdCommand;

// Not exported by the host: the module finds its class descriptor by name in
// the "ClassDictionary" entry of the system registry.
class AcEdCommandStack : public AcRxObject {
 public:
  virtual Acad::ErrorStatus addCommand(const char* group_name, const char* global_name,
                                       const char* local_name, Adesk::Int32 flags,
                                       AcRxFunctionPtr function,
                                       AcEdUIContext* ui_context = nullptr, int fcode = -1,
                                       HINSTANCE resource_handle = nullptr,
                                       AcEdCommand** command = nullptr) = 0;
  virtual Acad::ErrorStatus removeGroup(const char* group_name) = 0;
};

// ---- documents and profiles ---------------------------------------------------

class AcApDocument;

class AcApDocManager {
 public:
  virtual ~AcApDocManager() = default;
  virtual AcApDocument* curDocument() const = 0;
  virtual Acad::ErrorStatus sendStringToExecute(AcApDocument* document, const char* text,
                                                bool activate = true,
                                                bool wrap_up_inactive_doc = false,
                                                bool echo = true) = 0;
  virtual void pushResourceHandle(HINSTANCE resource) = 0;
  virtual void popResourceHandle() = 0;
};
extern "C" AcApDocManager* acDocManagerPtr();

class AcApProfileManager {
 public:
  virtual ~AcApProfileManager() = default;
  // Sets key to the registry path of the named profile (allocated with new[];
  // the caller releases it with delete[]) or leaves it null.
  virtual void ProfileRegistryKey(char*& key, const char* profile_name) = 0;
};
extern "C" AcApProfileManager* acProfileManagerPtr();

extern "C" HWND adsw_acadMainWnd();

// ---- database ------------------------------------------------------------------

class AcDbObjectId {
 public:
  AcDbObjectId() = default;
  explicit AcDbObjectId(uint64_t value) : value_(value) {}
  bool isNull() const { return value_ == 0; }
  uint64_t asUInt64() const { return value_; }
  bool operator==(const AcDbObjectId& other) const { return value_ == other.value_; }
  static const AcDbObjectId kNull;

 private:
  uint64_t value_ = 0;
};
inline const AcDbObjectId AcDbObjectId::kNull{};

class AcCmColor {
 public:
  Acad::ErrorStatus setColorIndex(Adesk::UInt16 index) {
    index_ = index;
    return Acad::eOk;
  }
  Adesk::UInt16 colorIndex() const { return index_; }

 private:
  Adesk::UInt16 index_ = 256;
};

struct AcDbObjectImpl;  // the host's side of an open object

class AcDbObject : public AcRxObject {
 public:
  ~AcDbObject() override;
  // Ends the open: changes made through a write open are committed. The
  // object must not be used afterwards.
  Acad::ErrorStatus close();
  AcDbObjectId objectId() const;
  static void* operator new(size_t size);
  static void operator delete(void* p);

  AcDbObjectImpl* impl_ = nullptr;

 protected:
  AcDbObject();
};

class AcDbSymbolTableRecord : public AcDbObject {
 public:
  Acad::ErrorStatus setName(const char* name);
  Acad::ErrorStatus getName(const char*& name) const;
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
 public:
  AcDbLayerTableRecord();
  void setColor(const AcCmColor& color);
  AcCmColor color() const;
  void setLinetypeObjectId(AcDbObjectId id);
  AcDbObjectId linetypeObjectId() const;
};

class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
 public:
  AcDbLinetypeTableRecord();
};

class AcDbDimStyleTableRecord : public AcDbSymbolTableRecord {
 public:
  AcDbDimStyleTableRecord();
  Acad::ErrorStatus setDimclrd(const AcCmColor& color);
  Acad::ErrorStatus setDimclre(const AcCmColor& color);
  Acad::ErrorStatus setDimclrt(const AcCmColor& color);
  AcCmColor dimclrd() const;
  AcCmColor dimclre() const;
  AcCmColor dimclrt() const;
};

class AcDbSymbolTable : public AcDbObject {
 public:
  bool has(const char* name) const;
};

class AcDbLayerTable : public AcDbSymbolTable {
 public:
  Acad::ErrorStatus getAt(const char* name, AcDbLayerTableRecord*& record, AcDb::OpenMode mode,
                          bool open_erased = false) const;
  Acad::ErrorStatus getAt(const char* name, AcDbObjectId& id, bool open_erased = false) const;
  Acad::ErrorStatus add(AcDbLayerTableRecord* record);
};

class AcDbLinetypeTable : public AcDbSymbolTable {
 public:
  Acad::ErrorStatus getAt(const char* name, AcDbObjectId& id, bool open_erased = false) const;
};

class AcDbDimStyleTable : public AcDbSymbolTable {
 public:
  Acad::ErrorStatus getAt(const char* name, AcDbDimStyleTableRecord*& record, AcDb::OpenMode mode,
                          bool open_erased = false) const;
};

class AcDbDatabase {
 public:
  Acad::ErrorStatus getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
  Acad::ErrorStatus getSymbolTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode);
  Acad::ErrorStatus getSymbolTable(AcDbDimStyleTable*& table, AcDb::OpenMode mode);

  void* impl_ = nullptr;  // the host's drawing
};

class AcDbHostApplicationServices {
 public:
  virtual ~AcDbHostApplicationServices() = default;
  virtual AcDbDatabase* workingDatabase() const = 0;
};
extern "C" AcDbHostApplicationServices* acdbHostApplicationServices();

extern "C" const char* acadErrorStatusText(Acad::ErrorStatus status);

// Shows the message and ends the host application; never returns.
[[noreturn]] void acrx_abort(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- module entry --------------------------------------------------------------

#define ACRX_EXPORT extern "C" __attribute__((visibility("default")))
