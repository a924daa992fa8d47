#include "grid/grid_view.h"
#include "platform/program_folder.h"
#include "test_editors.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUrl>

using namespace protask;
using namespace protask::testing;

namespace {

QStringList column(TGridModel *m, const char *name)
{
    QStringList cells;
    for (int r = 0; r < m->rowCountValue(); ++r)
        cells << m->cell(r, QString::fromLatin1(name)).toString();
    return cells;
}

TEST_F(BillEditor, LineActionsRenumberAndMarkTheBillModified)
{
    auto e = openPurchase();
    TGridModel *m = e->FDC;
    m->setCell(0, QStringLiteral("R_FProductName"), QStringLiteral("螺栓"));
    m->setCell(1, QStringLiteral("R_FProductName"), QStringLiteral("螺母"));
    e->grid()->focusCell(1, m->columnIndex(QStringLiteral("R_FProductName")), false);
    e->action(QStringLiteral("actInsertLine"))->trigger();
    EXPECT_EQ(column(m, "R_FProductName").mid(0, 3),
              (QStringList{QStringLiteral("螺栓"), QString(), QStringLiteral("螺母")}));
    EXPECT_EQ(column(m, "R_FSID").mid(0, 3),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(m->rowCountValue(), 21);
    EXPECT_FALSE(e->FSave) << "a blank line changes nothing yet";

    e->grid()->focusCell(0, m->columnIndex(QStringLiteral("R_FProductName")), false);
    e->action(QStringLiteral("actDeleteLine"))->trigger();
    EXPECT_EQ(m->rowCountValue(), 20);
    EXPECT_EQ(m->cell(1, QStringLiteral("R_FProductName")).toString(), QStringLiteral("螺母"));
    EXPECT_EQ(m->cell(19, QStringLiteral("R_FSID")).toInt(), 20);
    EXPECT_TRUE(e->FSave);
    EXPECT_EQ(e->editState(), 5);
    EXPECT_TRUE(e->enabled("actSave"));
    EXPECT_TRUE(e->enabled("actSaveNew"));

    e->grid()->focusCell(1, m->columnIndex(QStringLiteral("R_FProductName")), false);
    e->action(QStringLiteral("actClearLine"))->trigger();
    EXPECT_TRUE(m->cell(1, QStringLiteral("R_FProductName")).toString().isEmpty());
    EXPECT_EQ(m->cell(1, QStringLiteral("R_FSID")).toInt(), 2);
    e->action(QStringLiteral("actAppendLine"))->trigger();
    EXPECT_EQ(m->cell(20, QStringLiteral("R_FSID")).toInt(), 21);
}

TEST_F(BillEditor, NewBillAsksAboutUnsavedChangesAndSaveAndNewStartsTheNextNumber)
{
    auto e = filledPurchase();
    e->SetModified();
    prompter.queueAnswer(false);
    e->NewBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据未保存,是否保存?"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_PurForm")).toInt(), 0) << "No drops the bill";
    EXPECT_TRUE(e->text("FClientName").isEmpty());
    EXPECT_EQ(e->editState(), 1);

    e->set("FClientName", QStringLiteral("华东五金"));
    e->set("FAmount", QStringLiteral("30"));
    e->setLine(0, QStringLiteral("螺栓"), 3, 10);
    e->action(QStringLiteral("actSaveNew"))->trigger();
    EXPECT_EQ(scalar(QStringLiteral("select FBillNo from t_PurForm")).toString(), QStringLiteral("JH20261200001"));
    EXPECT_EQ(e->FBillID, 0) << "a new bill follows the saved one";
    EXPECT_EQ(e->billNo()->text(), QStringLiteral("JH20261200002"));
    EXPECT_TRUE(e->FDC->cell(0, QStringLiteral("R_FProductName")).toString().isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(FMsgCont order by FLogID) from zzsyslog")).toString(),
              QStringLiteral("新建操作,新增操作,保存操作 - 单据号:JH20261200001,新增操作"));
}

// A bill number, note and product with quotes, backslashes, wildcards and an emoji are stored
// and read back exactly, and the duplicate test matches the number exactly.
TEST_F(BillEditor, TextsWithQuotesAndWildcardsSaveAndReloadExactly)
{
    const QString odd = QStringLiteral("J'H\\1%_🙂");
    ExecScript(QStringLiteral("insert into t_PurForm(FID,FBillNo,FIsChecked) values(7,'J''H\\\\1xx🙂',0)"));
    auto e = filledPurchase();
    e->billNo()->setText(odd);
    e->set("FNote", odd);
    e->setLine(0, odd, 1, 2);
    e->SaveBill();
    ASSERT_TRUE(e->FSaveIsFinish) << prompter.lastText().toStdString();
    EXPECT_EQ(e->billNo()->text(), odd);
    auto reopened = openPurchase(e->FBillID, 2);
    EXPECT_EQ(reopened->billNo()->text(), odd);
    EXPECT_EQ(reopened->text("FNote"), odd);
    EXPECT_EQ(reopened->FDC->cell(0, QStringLiteral("R_FProductName")).toString(), odd);

    auto other = filledPurchase();
    other->billNo()->setText(odd);
    other->SaveBill();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("单据编号已经存在,请修改"));
}

// A lookup edit remembers its value on entry; leaving it changed marks the bill modified, and
// a typed text other than the stored value asks the editor to resolve it.
TEST_F(BillEditor, LookupEditsReportTypedChangesOnExit)
{
    auto e = std::make_unique<PurchaseEditor>();
    auto *store = new TLookupEdit;
    store->addButton(TLookupEdit::ButtonKind::Caption);
    e->addField(QStringLiteral("FCashName"), store, QStringLiteral("账户："));
    e->showForm();
    const auto focus = [&](QEvent::Type type) {
        QFocusEvent event(type);
        QApplication::sendEvent(store, &event);
    };
    focus(QEvent::FocusIn);
    store->setText(QStringLiteral("现金"));
    focus(QEvent::FocusOut);
    EXPECT_TRUE(e->FButtonEditChangeValue);
    EXPECT_TRUE(e->FSave);
    EXPECT_EQ(e->editState(), 5);

    focus(QEvent::FocusIn);
    EXPECT_FALSE(e->FButtonEditChangeValue) << "entering starts afresh";
    store->setText(QStringLiteral("  "));
    focus(QEvent::FocusOut);
    EXPECT_EQ(store->storedValue(), QStringLiteral("0")) << "an emptied lookup is cleared";
    EXPECT_TRUE(store->text().isEmpty());
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

TEST_F(BillEditor, VideoHelpOpensAnyFileNamedAfterTheWindow)
{
    QTemporaryDir home;
    SetProgramFolder(home.path());
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    auto e = openPurchase();
    e->action(QStringLiteral("actHelp"))->trigger();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("没有找到视频帮助文件"));
    QDir(home.path()).mkpath(QStringLiteral("Help"));
    QFile video(home.path() + QStringLiteral("/Help/进货单.mp4"));
    ASSERT_TRUE(video.open(QIODevice::WriteOnly));
    video.close();
    e->action(QStringLiteral("actHelp"))->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.first().toLocalFile(), video.fileName());
}

} // namespace

#include "bill_lines_test.moc"
