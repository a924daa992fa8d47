// libDllcomm.so: the common-data service behind GetCommInts. Nothing crosses the library's
// boundary but the interface: server errors and unknown kinds reach the user through the
// Prompter and the operation answers non-zero.
#include "comm/comm_interface.h"
#include "comm/comm_kinds.h"
#include "comm/lookup_dialog.h"
#include "comm/record_dialog.h"
#include "platform/boundary.h"
#include "platform/db.h"
#include "platform/forms/message_box_prompter.h"
#include "platform/nv_dm_base.h"
#include "platform/prompter.h"

#include <atomic>

namespace protask {

namespace {

constexpr int32_t kNotProvided = -1;
constexpr int32_t kFailed = -1;
constexpr int32_t kNothingChosen = 1;

CommDialogHook g_dialogHook = nullptr;

int runModal(QDialog &dialog) { return g_dialogHook ? g_dialogHook(&dialog) : dialog.exec(); }

const CommKind *knownKind(int32_t kind)
{
    const CommKind *k = FindCommKind(kind);
    if (!k)
        TellUserAtBoundary(QStringLiteral("未知的资料类型：") + QString::number(kind));
    return k;
}

// One service object per GetCommInts call; the last release() deletes it.
class TCommService final : public ICommInterface {
public:
    int32_t addRef() override { return m_refs.fetch_add(1) + 1; }
    int32_t release() override
    {
        const int32_t count = m_refs.fetch_sub(1) - 1;
        if (count == 0)
            delete this;
        return count;
    }

    int32_t CommList(int32_t) override { return kNotProvided; }
    int32_t CommEdit(int32_t, int32_t) override { return kNotProvided; }
    int32_t CommNew(int32_t) override { return kNotProvided; }
    int32_t CommRefresh(int32_t) override { return kNotProvided; }

    int32_t CommLookup(int32_t command, int32_t, int32_t, int32_t kind, int32_t mode, int32_t, const QString &filter,
                       int32_t) override
    {
        if (command != kCommLookupCommand)
            return kNotProvided;
        return GuardedAtBoundary(kFailed, [&]() -> int32_t {
            const CommKind *k = knownKind(kind);
            if (!k || !nvDMBase::instance().prepareAction())
                return kFailed;
            TCommLookupDialog dialog(*k, mode == kCommPickSeveral);
            dialog.query();
            if (!filter.isEmpty())
                dialog.setSearchText(filter);
            if (runModal(dialog) == QDialog::Accepted && dialog.storeChoice())
                return 0;
            return kNothingChosen;
        });
    }

    int32_t CommDisplay(int32_t recordId, int32_t kind, int32_t, int32_t, int32_t, int32_t) override
    {
        return GuardedAtBoundary(kFailed, [&]() -> int32_t {
            const CommKind *k = knownKind(kind);
            if (!k || !nvDMBase::instance().prepareAction())
                return kFailed;
            TCommRecordDialog dialog(*k);
            if (!dialog.load(recordId)) {
                Prompter::current().information(QStringLiteral("记录不存在"));
                return kNothingChosen;
            }
            runModal(dialog);
            return 0;
        });
    }

private:
    ~TCommService() = default;
    std::atomic<int32_t> m_refs{1};
};

} // namespace

} // namespace protask

extern "C" protask::ICommInterface *GetCommInts()
{
    protask::UseMessageBoxes();
    return new protask::TCommService;
}

extern "C" void CommSetDialogHook(protask::CommDialogHook hook) { protask::g_dialogHook = hook; }
