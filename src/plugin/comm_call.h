#pragma once

// The module's side of libDllcomm.so: loading the library by file name, fetching its service,
// and the two calls the editors make (the lookup dialog and the record display). QtCore only,
// so that the editor forms can link it without the rest of the plug-in.

#include "comm/comm_interface.h"

#include <QString>

#include <stdexcept>

namespace protask {

extern const QString kCommLibraryName; // "libDllcomm.so"
extern const QString kNoLibraryText;   // "不存在的DLL文件"
extern const QString kNoCommIntsText;  // "未能找到该DLL文件"

// A library that cannot be loaded or lacks its export; what() is the text the user sees (UTF-8).
class CommCallError : public std::runtime_error {
public:
    explicit CommCallError(const QString &text);
    QString text() const { return QString::fromUtf8(what()); }
};

// The path a library file name is loaded from: a bare name is looked for first beside the
// object holding this code (libprotask.so, or the test executable), then in the running
// program's folder; when neither has it, the bare name goes to the dynamic loader's own search.
// A name with a folder is used as it stands.
QString ResolveLibraryFile(const QString &fileName);

// One loaded library. Loading the same name again does nothing; another name releases the
// handle first. The library is opened with RTLD_NODELETE: releasing the handle (FreeHandle,
// the destructor) never unloads it, so that it stays loaded until the program ends. The
// module never unloads it after a call, because dialogs and objects of the library may
// still be in use when the call returns.
class TCallDLL {
public:
    TCallDLL() = default;
    // create(fileName)
    explicit TCallDLL(const QString &fileName);
    virtual ~TCallDLL();
    TCallDLL(const TCallDLL &) = delete;
    TCallDLL &operator=(const TCallDLL &) = delete;

    // Throws CommCallError(kNoLibraryText) when the library cannot be loaded.
    void create(const QString &fileName);
    // Releases the handle when one is held; FHandle keeps its value.
    virtual void FreeHandle();
    // The symbol of the loaded library; nullptr when it lacks it or nothing is loaded.
    void *resolve(const char *symbol) const;

    void *FHandle = nullptr; // the dynamic loader's handle; nullptr when none
    QString FFileName;
};

// The library with the common-data service; the interface is fetched once and cached.
class TCommCall : public TCallDLL {
public:
    explicit TCommCall(const QString &fileName);
    ~TCommCall() override;

    // The cached interface, fetched through GetCommInts on first use. Throws
    // CommCallError(kNoLibraryText) without a loaded library and CommCallError(kNoCommIntsText)
    // when the library lacks the export or it answers no interface.
    ICommInterface *CommInts();
    // Releases the cached interface before the handle.
    void FreeHandle() override;

    ICommInterface *FCommInts = nullptr;
};

// Lookup dialog of a data kind (2001 units, 2003 products, ...) in mode kCommPickOne or
// kCommPickSeveral, with `filter` as the first search text. Empties the lookup texts of the
// data module, checks the user's right to the kind, and answers true when the user chose:
// the chosen IDs are then in nvDMBase::lookup.text1, the first name in text2. A refused right,
// a library that cannot be loaded or lacks its export, and a server error are shown to the
// user and answer false.
bool OpenCommonLookup(int kind, int mode, const QString &filter, const QString &libraryName = kCommLibraryName);
// One record of a data kind shown read-only; errors as above.
void ShowCommonRecord(int kind, int recordId, const QString &libraryName = kCommLibraryName);
// The table a chosen record of the kind is read back from (with its FID); empty for the
// products of the retail lookup (2013) and for kinds the lookups do not know.
QString CommonLookupTable(int kind);

} // namespace protask
