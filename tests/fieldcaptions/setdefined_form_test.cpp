#include "billedit/protask_form.h"
#include "fieldcaptions/model/field_names.h"
#include "fieldcaptions/setdefined_form.h"
#include "grid/grid_view.h"
#include "test_editors.h"

#include <QAction>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace protask;
using namespace protask::testing;

namespace {

QString one(const QString &sql) { return scalar(sql).toString(); }

int rowOf(TFBaseForm_SetDefined &form, const char *field)
{
    TGridModel *m = form.grid()->model();
    for (int r = 0; r < m->rowCountValue(); ++r) {
        if (m->cell(r, QStringLiteral("R_FFieldName")).toString() == QLatin1String(field))
            return r;
    }
    return -1;
}

QString cell(TFBaseForm_SetDefined &form, const char *field, const char *column)
{
    return form.grid()->model()->cell(rowOf(form, field), QString::fromLatin1(column)).toString();
}

// A second bill type with one grid row: 进货单's note.
void seedPurchaseNote()
{
    ExecScript(
        QStringLiteral("insert into t_comFieldName(FID,FBillTypeID,FFormOrListID,FBillTypeName,FFieldName,"
                       "FDefaultName,FSystemSID,FDefaultIsShow) values(900,3002,1,'进货单','R_FNote','备注',10,1)"));
}

bool editCell(TFBaseForm_SetDefined &form, const char *field, const char *column, const QString &value)
{
    TGridModel *m = form.grid()->model();
    return m->editCell(rowOf(form, field), m->columnIndex(QString::fromLatin1(column)), value);
}

// The shown flags of the grid, in grid order, as "field=flag" for the rows named.
QString shownFlags(TFBaseForm_SetDefined &form, std::initializer_list<const char *> fields)
{
    QStringList out;
    for (const char *f : fields)
        out.append(QLatin1String(f) + u'=' + cell(form, f, "R_FIsShow"));
    return out.join(u',');
}

class SetDefined : public BillEditor {
protected:
    void SetUp() override
    {
        BillEditor::SetUp();
        ASSERT_TRUE(SeedFieldNames(3049, QStringLiteral("生产任务单")));
    }
    std::unique_ptr<TFBaseForm_SetDefined> open(int billType)
    {
        auto form = std::make_unique<TFBaseForm_SetDefined>();
        form->FBillTypeID = billType;
        form->FormShow();
        return form;
    }
};

TEST_F(SetDefined, ClearAllKeepsTheSystemColumnsAndSelectAllShowsEverything)
{
    auto form = open(3049);
    EXPECT_TRUE(form->tree()->isHidden());
    EXPECT_FALSE(form->pages()->isTabVisible(0)) << "no master-data page for one bill type";
    EXPECT_EQ(cell(*form, "R_FProductNo", "R_FSID"), QStringLiteral("1")) << "the order column counts 1, 2, 3 …";
    EXPECT_EQ(cell(*form, "R_FFinishNumber", "R_FSID"), QStringLiteral("19"));

    form->ClearAllClick();
    EXPECT_EQ(shownFlags(*form, {"R_FProductNo", "R_FProductName", "R_FAmount", "R_FNote"}),
              QStringLiteral("R_FProductNo=0,R_FProductName=1,R_FAmount=1,R_FNote=0"));
    // Nor can the user hide a system column by hand.
    EXPECT_FALSE(editCell(*form, "R_FNumber", "R_FIsShow", QStringLiteral("0")));
    EXPECT_TRUE(editCell(*form, "R_FNote", "R_FIsShow", QStringLiteral("1")));
    TGridModel *m = form->grid()->model();
    const QModelIndex system = m->index(rowOf(*form, "R_FNumber"), m->columnIndex(QStringLiteral("R_FIsShow")));
    EXPECT_EQ(m->flags(system), Qt::NoItemFlags) << "a system row's flag takes neither focus nor edit";
    EXPECT_EQ(system.data(Qt::BackgroundRole), QVariant(QColor(0xE4, 0xE4, 0xE4)));
    EXPECT_NE(m->flags(m->index(rowOf(*form, "R_FNote"), system.column())), Qt::NoItemFlags);

    form->SelectAllClick();
    EXPECT_EQ(shownFlags(*form, {"R_FProductNo", "R_FProductDefined1", "R_FFinishNumber"}),
              QStringLiteral("R_FProductNo=1,R_FProductDefined1=1,R_FFinishNumber=1"));
}

TEST_F(SetDefined, SystemDefaultRestoresTheGridButNotTheHeaderCaptions)
{
    ExecScript(QStringLiteral("update t_comFieldName set FSetName='用量',FSID=1,FIsShow=0 where FFieldName='R_FNote';"
                              "update t_comFieldName set FSetName='合同号' where FFieldName='FFormDefined1'"));
    auto form = open(3049);
    EXPECT_EQ(rowOf(*form, "R_FNote"), 0) << "the user's order";
    form->SystemDefaultClick();
    EXPECT_EQ(rowOf(*form, "R_FNote"), 17);
    EXPECT_EQ(cell(*form, "R_FNote", "R_FSetName"), QString());
    EXPECT_EQ(cell(*form, "R_FNote", "R_FIsShow"), QStringLiteral("1"));
    form->OkClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(ReadEffectiveFieldName(3049, QStringLiteral("R_FNote")).caption, QStringLiteral("备注"));
    EXPECT_EQ(ReadEffectiveFieldName(3049, QStringLiteral("FFormDefined1")).caption, QStringLiteral("合同号"));
}

TEST_F(SetDefined, OkWithoutChangesClosesWithCancel)
{
    seedPurchaseNote();
    TFBaseForm_SetDefined::ExecuteHookScope hook([](TFBaseForm_SetDefined &form) {
        form.selectNode(1); // through every bill type and back, touching nothing
        form.selectNode(0);
        form.OkClick();
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_FALSE(form.bisSave);
        return form.result();
    });
    EXPECT_FALSE(ShowFieldSettings(0));
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(
        one(QStringLiteral("select count(*) from t_comFieldName where FSetName is not null or FIsShow is not null "
                           "or FSID is not null")),
        QStringLiteral("0"));
}

TEST_F(SetDefined, MovingRowsRenumbersAndSavesTheNewOrder)
{
    auto form = open(3049);
    form->grid()->focusCell(0, 0, false);
    form->MoveUpClick();
    EXPECT_EQ(rowOf(*form, "R_FProductNo"), 0) << "nothing above the first row";
    form->MoveDownClick();
    form->MoveDownClick();
    EXPECT_EQ(rowOf(*form, "R_FProductNo"), 2);
    EXPECT_EQ(form->grid()->focusedRow(), 2) << "the focus moves with the row";
    EXPECT_EQ(cell(*form, "R_FProductNo", "R_FSID"), QStringLiteral("3"));
    form->grid()->focusCell(18, 0, false);
    form->MoveDownClick();
    EXPECT_EQ(rowOf(*form, "R_FFinishNumber"), 18) << "nothing below the last row";
    form->OkClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(one(QStringLiteral("select group_concat(FFieldName order by FSID) from t_comFieldName where "
                                 "FBillTypeID=3049 and FSID<=3")),
              QStringLiteral("R_FProductName,R_FBatchNo1,R_FProductNo"));
}

TEST_F(SetDefined, BlankCaptionsAreRefusedWithTheirHint)
{
    auto form = open(3049);
    QLineEdit *first = form->edit(QStringLiteral("edt_FFormDefined1"));
    first->clear();
    EXPECT_FALSE(form->leaveEdit(first));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("表头自定义1不能为空!"));
    form->OkClick();
    EXPECT_EQ(prompter.texts().size(), 2);
    EXPECT_EQ(form->result(), 0) << "still open";
}

TEST_F(SetDefined, AServerErrorWhileSavingKeepsTheDialogOpen)
{
    auto form = open(3049);
    form->edit(QStringLiteral("edt_FFormDefined1"))->setText(QStringLiteral("合同号"));
    DropTempTable(QStringLiteral("tmp_list")); // the connection lost its working copy
    form->OkClick();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("保存失败!"));
    EXPECT_EQ(form->result(), 0) << "still open";
    EXPECT_FALSE(form->bisSave);
    EXPECT_EQ(ReadEffectiveFieldName(3049, QStringLiteral("FFormDefined1")).caption, QStringLiteral("自定义1"));
}

TEST_F(SetDefined, GeneralModeProductCaptionRenamesTheColumnOfEveryBillType)
{
    ExecScript(QStringLiteral(
        "insert into t_comFieldName(FID,FBillTypeID,FFormOrListID,FBillTypeName,FFieldName,FDefaultName,FSystemSID,"
        "FDefaultIsShow) values"
        "(901,2003,0,'商品资料','FProductDefined1','商品自定义1',0,1),(902,2004,0,'客户资料','FClientUserDefined1','客户自定义1',0,1),"
        "(903,2005,0,'供应商资料','FClientUserDefined1','供应商自定义1',0,1),"
        "(904,3002,1,'进货单','R_FProductDefined1','商品自定义1',150,0),(905,4001,1,'库存报表','R_FProductDefined1','商品自定义1',1,1)"));
    auto form = open(0);
    EXPECT_EQ(form->pages()->currentWidget()->objectName(), QStringLiteral("tab_com"));
    QStringList nodes;
    for (int i = 0; i < form->tree()->topLevelItemCount(); ++i)
        nodes.append(form->tree()->topLevelItem(i)->text(0));
    EXPECT_EQ(nodes, QStringList({QStringLiteral("进货单"), QStringLiteral("生产任务单")}))
        << "neither master data nor 40xx reports";
    EXPECT_EQ(form->edit(QStringLiteral("s_FClientUserDefined1"))->text(), QStringLiteral("供应商自定义1"));

    form->edit(QStringLiteral("p_FProductDefined1"))->setText(QStringLiteral("规格型号"));
    form->edit(QStringLiteral("c_FClientUserDefined1"))->setText(QStringLiteral("开户银行"));
    form->OkClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(one(QStringLiteral("select group_concat(concat(FBillTypeID,':',FFieldName) order by FBillTypeID) from "
                                 "t_comFieldName where FSetName='规格型号'")),
              QStringLiteral("2003:FProductDefined1,3002:R_FProductDefined1,3049:R_FProductDefined1,"
                             "4001:R_FProductDefined1"));
    EXPECT_EQ(one(QStringLiteral("select group_concat(FBillTypeID) from t_comFieldName where FSetName='开户银行'")),
              QStringLiteral("2004"))
        << "a customer field is renamed for customers only";
}

TEST_F(SetDefined, EditsOfSeveralBillTypesAccumulateUntilOkAndCancelDropsThem)
{
    seedPurchaseNote();
    const auto editBoth = [](TFBaseForm_SetDefined &form) {
        ASSERT_EQ(form.shownBillType(), 3002);
        editCell(form, "R_FNote", "R_FSetName", QStringLiteral("附注"));
        form.tree()->setCurrentItem(form.tree()->topLevelItem(1));
        ASSERT_EQ(form.shownBillType(), 3049);
        EXPECT_EQ(cell(form, "R_FNote", "R_FSetName"), QString()) << "each bill type its own rows";
        form.edit(QStringLiteral("edt_FFormDefined1"))->setText(QStringLiteral("合同号"));
        form.tree()->setCurrentItem(form.tree()->topLevelItem(0));
        EXPECT_EQ(cell(form, "R_FNote", "R_FSetName"), QStringLiteral("附注")) << "read back from the working copy";
    };
    const QString written = QStringLiteral("select group_concat(concat(FBillTypeID,':',FSetName) order by FBillTypeID) "
                                           "from t_comFieldName where ifnull(FSetName,'')<>''");
    auto cancelled = open(0);
    editBoth(*cancelled);
    cancelled->CancelClick();
    EXPECT_EQ(cancelled->result(), QDialog::Rejected);
    EXPECT_EQ(one(written), QString());

    auto saved = open(0);
    editBoth(*saved);
    EXPECT_EQ(saved->edit(QStringLiteral("edt_FFormDefined1"))->text(), QString()) << "3002 has no header rows";
    saved->OkClick();
    EXPECT_EQ(saved->result(), QDialog::Accepted);
    EXPECT_EQ(one(written), QStringLiteral("3002:附注,3049:合同号"));
}

TEST_F(SetDefined, ReportCodesShowOnlyTheColumnGrid)
{
    ExecScript(QStringLiteral(
        "insert into t_comFieldName(FID,FBillTypeID,FFormOrListID,FBillTypeName,FFieldName,FDefaultName,FSystemSID,"
        "FDefaultIsShow) values(901,4005,1,'销售报表','R_FNumber','数量',1,1)"));
    const int wide = TFBaseForm_SetDefined().width();
    auto form = open(4005);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("报表自定义"));
    EXPECT_EQ(form->pages()->tabText(form->pages()->currentIndex()), QStringLiteral("列标题自定义"));
    EXPECT_TRUE(form->headerBox()->isHidden());
    EXPECT_EQ(form->width(), wide - 180);
    EXPECT_TRUE(form->button(QStringLiteral("保存为默认"))->isHidden()) << "no maintenance mode in this module";
    editCell(*form, "R_FNumber", "R_FSetName", QStringLiteral("件数"));
    form->OkClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(ReadEffectiveFieldName(4005, QStringLiteral("R_FNumber")).caption, QStringLiteral("件数"));
}

TEST_F(SetDefined, TheEditorsFieldSettingsRecaptionTheBillWhenSaved)
{
    TFBaseForm_BillBase_BillNo_Protask task(nullptr, 0);
    task.showForm();
    QAction *settings = task.action(QStringLiteral("actFieldSettings"));
    ASSERT_TRUE(settings->isVisible());
    const int note = task.FDC->columnIndex(QStringLiteral("R_FNote"));
    const int number = task.FDC->columnIndex(QStringLiteral("R_FNumber"));
    EXPECT_EQ(task.headerLabel(QStringLiteral("FFormDefined1"))->text(), QStringLiteral("自定义1："));
    {
        TFBaseForm_SetDefined::ExecuteHookScope hook([](TFBaseForm_SetDefined &form) {
            EXPECT_EQ(form.FBillTypeID, 3049);
            form.edit(QStringLiteral("edt_FFormDefined1"))->setText(QStringLiteral("合同号"));
            editCell(form, "R_FNumber", "R_FSetName", QStringLiteral("用量"));
            editCell(form, "R_FNote", "R_FIsShow", QStringLiteral("0"));
            form.OkClick();
            return form.result();
        });
        settings->trigger();
    }
    EXPECT_EQ(task.headerLabel(QStringLiteral("FFormDefined1"))->text(), QStringLiteral("合同号："));
    EXPECT_EQ(task.FDC->column(number).caption, QStringLiteral("用量"));
    EXPECT_FALSE(task.grid()->isColumnVisible(note));
    EXPECT_TRUE(prompter.texts().isEmpty());
}

} // namespace
