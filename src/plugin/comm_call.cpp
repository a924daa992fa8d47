#include "plugin/comm_call.h"

#include "comm/comm_kinds.h"
#include "core/rights.h"
#include "platform/db.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <dlfcn.h>

namespace protask {

const QString kCommLibraryName = QStringLiteral("libDllcomm.so");
const QString kNoLibraryText = QStringLiteral("不存在的DLL文件");
const QString kNoCommIntsText = QStringLiteral("未能找到该DLL文件");

namespace {

// Any object of this file: its address tells dladdr which loaded object holds the loader.
const char g_anchor = 0;

constexpr int kRetailProducts = 2013;

QString existing(const QString &folder, const QString &fileName)
{
    if (folder.isEmpty())
        return QString();
    const QFileInfo file(folder + u'/' + fileName);
    return file.exists() ? file.absoluteFilePath() : QString();
}

// Runs one call on the library's service; what goes wrong is shown and answers false.
template <typename F>
bool callComm(int kind, const QString &libraryName, F &&call)
{
    try {
        if (!nvDMBase::instance().prepareAction() || !CheckWindowRight(kind))
            return false;
        // Leaving this block releases the interface; the library stays loaded.
        TCommCall comm(libraryName);
        return call(comm.CommInts());
    } catch (const CommCallError &e) {
        Prompter::current().error(e.text());
    } catch (const DbError &e) {
        Prompter::current().error(e.message());
    }
    return false;
}

} // namespace

CommCallError::CommCallError(const QString &text) : std::runtime_error(text.toStdString()) {}

QString ResolveLibraryFile(const QString &fileName)
{
    if (fileName.contains(u'/'))
        return fileName;
    Dl_info info{};
    if (dladdr(&g_anchor, &info) && info.dli_fname && *info.dli_fname) {
        const QString found = existing(QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath(), fileName);
        if (!found.isEmpty())
            return found;
    }
    if (QCoreApplication::instance()) {
        const QString found = existing(QCoreApplication::applicationDirPath(), fileName);
        if (!found.isEmpty())
            return found;
    }
    return fileName;
}

TCallDLL::TCallDLL(const QString &fileName) { create(fileName); }

TCallDLL::~TCallDLL() { TCallDLL::FreeHandle(); }

void TCallDLL::create(const QString &fileName)
{
    if (fileName == FFileName)
        return;
    FFileName = fileName;
    FreeHandle();
    FHandle = fileName.isEmpty()
        ? nullptr
        : dlopen(ResolveLibraryFile(fileName).toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!FHandle)
        throw CommCallError(kNoLibraryText);
}

void TCallDLL::FreeHandle()
{
    // Only our reference is given back: RTLD_NODELETE keeps the library itself loaded.
    if (FHandle)
        dlclose(FHandle);
}

void *TCallDLL::resolve(const char *symbol) const
{
    // dlsym with a null handle would search the whole program.
    return FHandle ? dlsym(FHandle, symbol) : nullptr;
}

TCommCall::TCommCall(const QString &fileName) : TCallDLL(fileName) {}

TCommCall::~TCommCall()
{
    if (FCommInts)
        FCommInts->release();
}

ICommInterface *TCommCall::CommInts()
{
    if (FCommInts)
        return FCommInts;
    if (!FHandle)
        throw CommCallError(kNoLibraryText);
    const auto getCommInts = reinterpret_cast<GetCommIntsFunc>(resolve("GetCommInts"));
    if (!getCommInts)
        throw CommCallError(kNoCommIntsText);
    FCommInts = getCommInts();
    if (!FCommInts)
        throw CommCallError(kNoCommIntsText);
    return FCommInts;
}

void TCommCall::FreeHandle()
{
    if (FCommInts) {
        FCommInts->release();
        FCommInts = nullptr;
    }
    TCallDLL::FreeHandle();
}

bool OpenCommonLookup(int kind, int mode, const QString &filter, const QString &libraryName)
{
    LookupResult &lookup = nvDMBase::instance().lookup;
    lookup.text1.clear();
    lookup.text2.clear();
    lookup.text3.clear();
    return callComm(kind, libraryName, [&](ICommInterface *comm) {
        return comm->CommLookup(kCommLookupCommand, 0, 0, kind, mode, 0, filter, 0) == 0;
    });
}

void ShowCommonRecord(int kind, int recordId, const QString &libraryName)
{
    callComm(kind, libraryName, [&](ICommInterface *comm) {
        comm->CommDisplay(recordId, kind, 0, 0, 0, 0);
        return true;
    });
}

QString CommonLookupTable(int kind)
{
    // The product lookup of the retail bill (3005) has no record to read back.
    if (kind == kRetailProducts)
        return QString();
    const CommKind *k = FindCommKind(kind);
    return k ? QString::fromLatin1(k->table) : QString();
}

} // namespace protask
