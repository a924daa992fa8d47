#pragma once

// The common-data service of libDllcomm.so as its callers see it: a reference-counted
// interface with the two reference-counting operations first and then six operations of its
// own. Callers need this header only; they load the library by file name and fetch the
// service through GetCommInts.

#include <QString>

#include <cstdint>

class QDialog;

namespace protask {

// The command of every lookup call.
constexpr int32_t kCommLookupCommand = 1025;
// Lookup modes: one record, or several (the product pickers).
constexpr int32_t kCommPickOne = 22;
constexpr int32_t kCommPickSeveral = 23;

class ICommInterface {
public:
    virtual int32_t addRef() = 0;
    virtual int32_t release() = 0;

    // 1. The data window of a kind. Those windows belong to the suite itself; this library
    //    answers -1 and opens nothing.
    virtual int32_t CommList(int32_t kind) = 0;
    // 2. The lookup dialog. Answers 0 when the user chose a record (or records): their IDs,
    //    comma-separated, are in nvDMBase::lookup.text1 and the first one's name in text2.
    //    Any other answer means nothing was chosen.
    virtual int32_t CommLookup(int32_t command, int32_t reserved1, int32_t reserved2, int32_t kind, int32_t mode,
                               int32_t reserved3, const QString &filter, int32_t reserved4) = 0;
    // 3.-5. Editing, adding and refreshing records of a kind: the suite's own windows do
    //    that; this library answers -1 and changes nothing.
    virtual int32_t CommEdit(int32_t kind, int32_t recordId) = 0;
    virtual int32_t CommNew(int32_t kind) = 0;
    virtual int32_t CommRefresh(int32_t kind) = 0;
    // 6. One record shown read-only. The answer carries no meaning.
    virtual int32_t CommDisplay(int32_t recordId, int32_t kind, int32_t reserved1, int32_t reserved2, int32_t reserved3,
                                int32_t reserved4) = 0;

protected:
    ~ICommInterface() = default; // released through release(), never deleted by the caller
};

using GetCommIntsFunc = ICommInterface *(*)();

// For tests: receives every dialog of the library just before it would be run modally and
// answers in its place (QDialog::Accepted or Rejected). The dialog's rows are loaded and the
// search text set; the hook may type, select and click like a user. Installed with the
// library's second export, CommSetDialogHook (nullptr restores exec()).
using CommDialogHook = int (*)(QDialog *dialog);
using CommSetDialogHookFunc = void (*)(CommDialogHook hook);

} // namespace protask

extern "C" __attribute__((visibility("default"))) protask::ICommInterface *GetCommInts();
extern "C" __attribute__((visibility("default"))) void CommSetDialogHook(protask::CommDialogHook hook);
