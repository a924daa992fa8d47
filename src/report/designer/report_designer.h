#pragma once

#include "report/report_template.h"

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGraphicsScene;
class QGraphicsView;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace protask::report {

class TControlItem;

// The template designer: the bands and their controls on a page view where controls are
// selected, moved and resized with the mouse; a property panel for the selected control; the
// detail grid's columns as a table; the fields of the bound query to add as field controls.
class TReportDesigner : public QWidget {
    Q_OBJECT
public:
    explicit TReportDesigner(QWidget *parent = nullptr);
    ~TReportDesigner() override;

    void setTemplate(const TReportTemplate &t);
    // The template with every pending edit of the panels taken in.
    TReportTemplate currentTemplate();
    void setFields(const QStringList &fields);
    bool isModified() const { return m_modified; }

    // The operations behind the mouse and the buttons, callable on their own.
    bool selectControl(const QString &name);
    QString selectedControl() const { return m_selected; }
    // Moves / resizes the control as a drag on the page does (millimetres in its band).
    bool moveControl(const QString &name, double x, double y);
    bool resizeControl(const QString &name, double w, double h);
    // Adds a control to the report header at its top-left corner and selects it; its name is
    // the kind's prefix and the first free number.
    QString addControl(ControlKind kind, const QString &source = QString());
    bool deleteSelectedControl();
    void addColumn(const QString &field);
    bool deleteColumn(int index);

Q_SIGNALS:
    void changed();

private:
    friend class TControlItem;
    TReportControl *find(const QString &name, TReportBand **band = nullptr);
    void rebuildScene();
    void showProperties();
    void applyProperties();
    void fillColumnTable();
    void takeColumnTable();
    void itemMoved(const QString &name, double x, double y, double w, double h);
    void markModified();

    TReportTemplate m_t;
    QStringList m_fields;
    QString m_selected;
    bool m_modified = false;
    bool m_loading = false;

    QGraphicsScene *m_scene = nullptr;
    QGraphicsView *m_view = nullptr;
    QListWidget *m_fieldList = nullptr;
    QTableWidget *m_columns = nullptr;
    QLabel *m_kind = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_text = nullptr;
    QComboBox *m_source = nullptr;
    QLineEdit *m_format = nullptr;
    QComboBox *m_align = nullptr;
    QDoubleSpinBox *m_x = nullptr, *m_y = nullptr, *m_w = nullptr, *m_h = nullptr, *m_fontSize = nullptr;
    QCheckBox *m_bold = nullptr;
    QCheckBox *m_border = nullptr;
};

} // namespace protask::report
