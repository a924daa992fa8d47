#include "comm/record_dialog.h"

#include "platform/db.h"
#include "platform/nv_dm_base.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace protask {

namespace {

QString fieldText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDateTime: return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case QMetaType::QDate: return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    default: return value.toString();
    }
}

} // namespace

TCommRecordDialog::TCommRecordDialog(const CommKind &kind, QWidget *parent) : QDialog(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("TCommRecordDialog"));
    setWindowTitle(QString::fromUtf8(kind.name));
}

bool TCommRecordDialog::load(int recordId)
{
    TDataSet q(nvDMBase::instance().connection());
    q.open(QStringLiteral("select * from ") + QString::fromLatin1(m_kind.table) + QStringLiteral(" where FID = ")
           + sqlNumber(recordId));
    if (q.isEmpty())
        return false;

    auto *fields = new QWidget;
    auto *form = new QFormLayout(fields);
    for (const QString &name : q.fieldNames()) {
        auto *value = new QLineEdit(fieldText(q.fieldByName(name)), fields);
        value->setObjectName(QStringLiteral("edt_") + name);
        value->setReadOnly(true);
        form->addRow(name, value);
    }
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(fields);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);
    resize(420, 480);
    return true;
}

} // namespace protask
