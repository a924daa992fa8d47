#include "grid/grid_layout.h"

#include "grid/grid_view.h"
#include "platform/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>

#include <algorithm>
#include <utility>
#include <vector>

namespace protask {

namespace {

const QString kPositionKey = QStringLiteral("Position");
const QString kWidthKey = QStringLiteral("Width");
constexpr int kMaxWidth = 10000;

// An integer read from the file, or nothing for a missing or unreadable value.
bool readInt(const QSettings &settings, const QString &key, int &value)
{
    const QVariant v = settings.value(key);
    if (!v.isValid())
        return false;
    bool ok = false;
    value = v.toString().trimmed().toInt(&ok);
    return ok;
}

} // namespace

QString GridLayoutPath(const QString &layoutName)
{
    return ProgramPath(QStringLiteral("LSIniFile/") + layoutName + QStringLiteral(".ini"));
}

bool SaveGridLayout(TGridView *view, const QString &layoutName)
{
    if (!view)
        return false;
    try {
        if (!QDir().mkpath(ProgramPath(QStringLiteral("LSIniFile")))) {
            LogFailure(QStringLiteral("表格布局文件夹无法创建：") + ProgramPath(QStringLiteral("LSIniFile")));
            return false;
        }
        const QString path = GridLayoutPath(layoutName);
        if (QFileInfo(path).isDir()) {
            LogFailure(QStringLiteral("表格布局文件被文件夹占用：") + path);
            return false;
        }
        QSettings settings(path, QSettings::IniFormat);
        const TGridModel *model = view->model();
        for (int column = 0; column < model->columnCountValue(); ++column) {
            settings.beginGroup(model->column(column).name);
            settings.setValue(kPositionKey, view->columnPosition(column));
            settings.setValue(kWidthKey, view->columnWidth(column));
            settings.endGroup();
        }
        // Also the sections of an older file: captions and visibility never come from here.
        for (const QString &group : settings.childGroups()) {
            settings.beginGroup(group);
            settings.remove(QStringLiteral("Caption"));
            settings.remove(QStringLiteral("Visible"));
            settings.endGroup();
        }
        settings.sync();
        if (settings.status() != QSettings::NoError)
            LogFailure(QStringLiteral("表格布局保存失败：") + path);
        return settings.status() == QSettings::NoError;
    } catch (const std::exception &e) {
        LogFailure(QStringLiteral("表格布局保存失败：") + QString::fromUtf8(e.what()));
        return false;
    }
}

bool RestoreGridLayout(TGridView *view, const QString &layoutName)
{
    if (!view)
        return false;
    const QString path = GridLayoutPath(layoutName);
    if (!QFileInfo(path).isFile())
        return false;
    try {
        QSettings settings(path, QSettings::IniFormat);
        TGridModel *model = view->model();
        QHeaderView *header = view->table()->horizontalHeader();
        const int count = model->columnCountValue();

        const TGridView::LayoutUpdate update(view);
        std::vector<std::pair<int, int>> positions; // (position, column)
        for (const QString &group : settings.childGroups()) {
            const int column = model->columnIndex(group);
            if (column < 0)
                continue;
            settings.beginGroup(group);
            int width = 0;
            if (readInt(settings, kWidthKey, width) && width > 0 && width <= kMaxWidth) {
                // A hidden column keeps the width for when it is shown again.
                model->storeColumnWidth(column, width);
                header->resizeSection(column, width);
            }
            int position = -1;
            if (readInt(settings, kPositionKey, position) && position >= 0 && position < count)
                positions.emplace_back(position, column);
            settings.endGroup();
        }
        // Moving the columns in the order of their target positions puts each one where it
        // belongs; a file with duplicate positions still ends in some valid order.
        std::stable_sort(positions.begin(), positions.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (const auto &[position, column] : positions) {
            const int from = header->visualIndex(column);
            if (from >= 0 && from != position)
                header->moveSection(from, position);
        }
        return true;
    } catch (const std::exception &e) {
        LogFailure(QStringLiteral("表格布局读取失败：") + path + QStringLiteral(" ") + QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace protask
