#include "billedit/image_help.h"

#include "platform/program_folder.h"

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace protask {

namespace {

struct HelpPicture {
    const char *file;
    const char *caption;
};

// Each sheet is captioned after what its picture shows.
const HelpPicture kPictures[] = {
    {"查看历史进货价格.png", " 查看历史价格 "},
    {"进货单选择商品.png", "  选择商品帮助  "},
    {"进货单表体.png", "  商品明细类帮助  "},
    {"进货单表头.png", "  供应商资料类帮助  "},
};

} // namespace

TFBaseForm_ImageHelp::TFBaseForm_ImageHelp(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFBaseForm_ImageHelp"));
    setWindowTitle(QStringLiteral("操作技巧"));
    auto *layout = new QVBoxLayout(this);
    m_sheets = new QTabWidget(this);
    layout->addWidget(m_sheets);
    for (const HelpPicture &p : kPictures) {
        const QString path = ProgramPath(QStringLiteral("Help/") + QString::fromUtf8(p.file));
        if (!QFileInfo::exists(path))
            continue;
        auto *picture = new QLabel;
        picture->setPixmap(QPixmap(path));
        auto *scroll = new QScrollArea;
        scroll->setWidget(picture);
        m_sheets->addTab(scroll, QString::fromUtf8(p.caption));
    }
    resize(800, 600);
}

} // namespace protask
