#include "report/designer/report_designer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace protask::report {

namespace {

constexpr double kGrip = 2.0;     // mm: the resize grip at a control's bottom-right corner
constexpr double kBandGap = 4.0;  // mm between bands on the design page
constexpr double kPxPerMm = 3.78; // the view's zoom at 100 %

const std::pair<ControlKind, const char *> kNamePrefixes[] = {
    {ControlKind::StaticText, "Static"}, {ControlKind::ParameterText, "Parameter"},
    {ControlKind::FieldText, "Field"},   {ControlKind::SystemVar, "System"},
    {ControlKind::SumText, "Sum"},       {ControlKind::Line, "Line"},
    {ControlKind::Box, "Box"},
};

QString designText(const TReportControl &c)
{
    switch (c.kind) {
    case ControlKind::StaticText: return c.text;
    case ControlKind::ParameterText: return c.text + QStringLiteral("[") + c.source + QStringLiteral("]");
    case ControlKind::FieldText: return c.text + QStringLiteral("{") + c.source + QStringLiteral("}");
    case ControlKind::SystemVar: return c.text + QStringLiteral("<") + c.source + QStringLiteral(">");
    case ControlKind::SumText: return c.text + QStringLiteral("Σ{") + c.source + QStringLiteral("}");
    case ControlKind::Line:
    case ControlKind::Box: break;
    }
    return QString();
}

} // namespace

// One control on the design page: dragging moves it, dragging its bottom-right corner resizes
// it; the designer hears of each change when the mouse is released.
class TControlItem : public QGraphicsRectItem {
public:
    TControlItem(TReportDesigner *designer, const TReportControl &c, const QPointF &origin, const TReportFont &font)
        : m_designer(designer), m_control(c), m_origin(origin), m_font(font)
    {
        setRect(0, 0, std::max(c.w, 0.5), std::max(c.h, 0.5));
        setPos(origin + QPointF(c.x, c.y));
        setFlags(ItemIsSelectable | ItemIsMovable);
        setData(0, c.name);
    }

    QString name() const { return m_control.name; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        const QRectF r = rect();
        painter->save();
        if (m_control.kind == ControlKind::Line) {
            painter->setPen(QPen(Qt::black, std::max(m_control.lineWidth, 0.1)));
            painter->drawLine(r.topLeft(), m_control.h <= 0 ? r.topRight() : r.bottomRight());
        } else if (m_control.kind == ControlKind::Box || m_control.border) {
            painter->setPen(QPen(Qt::black, std::max(m_control.lineWidth, 0.1)));
            painter->drawRect(r);
        } else {
            painter->setPen(QPen(QColor(0x99, 0x99, 0xcc), 0, Qt::DotLine));
            painter->drawRect(r);
        }
        const QString text = designText(m_control);
        if (!text.isEmpty()) {
            // Text is laid out at a tenth of a millimetre so that point sizes keep their size.
            QFont f(m_control.font.family.isEmpty() ? m_font.family : m_control.font.family);
            const double pt = m_control.font.size > 0 ? m_control.font.size : m_font.size;
            f.setPixelSize(std::max(1, qRound(pt * 25.4 / 72 * 10)));
            f.setBold(m_control.font.bold);
            painter->scale(0.1, 0.1);
            painter->setFont(f);
            painter->setPen(Qt::black);
            const Qt::Alignment h = m_control.align == Align::Center ? Qt::AlignHCenter
                : m_control.align == Align::Right                    ? Qt::AlignRight
                                                                     : Qt::AlignLeft;
            painter->drawText(QRectF(r.x() * 10, r.y() * 10, r.width() * 10, r.height() * 10), h | Qt::AlignVCenter,
                              text);
        }
        painter->restore();
        if (isSelected()) {
            painter->setPen(QPen(Qt::blue, 0, Qt::DashLine));
            painter->drawRect(r);
            painter->fillRect(QRectF(r.right() - kGrip / 2, r.bottom() - kGrip / 2, kGrip, kGrip), Qt::blue);
        }
    }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override
    {
        const QPointF p = event->pos();
        m_resizing = (QPointF(rect().right(), rect().bottom()) - p).manhattanLength() <= kGrip;
        QGraphicsRectItem::mousePressEvent(event);
    }
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override
    {
        if (!m_resizing) {
            QGraphicsRectItem::mouseMoveEvent(event);
            return;
        }
        prepareGeometryChange();
        setRect(0, 0, std::max(1.0, event->pos().x()), std::max(0.5, event->pos().y()));
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override
    {
        QGraphicsRectItem::mouseReleaseEvent(event);
        m_resizing = false;
        const QPointF at = pos() - m_origin;
        // Positions snap to a tenth of a millimetre.
        const auto snap = [](double v) { return qRound(v * 10) / 10.0; };
        m_designer->itemMoved(name(), snap(at.x()), snap(at.y()), snap(rect().width()),
                              m_control.kind == ControlKind::Line && m_control.h <= 0 ? 0 : snap(rect().height()));
    }

private:
    TReportDesigner *m_designer;
    TReportControl m_control;
    QPointF m_origin;
    TReportFont m_font;
    bool m_resizing = false;
};

TReportDesigner::TReportDesigner(QWidget *parent) : QWidget(parent)
{
    m_scene = new QGraphicsScene(this);
    m_view = new QGraphicsView(m_scene, this);
    m_view->setObjectName(QStringLiteral("GRDesigner1"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->scale(kPxPerMm, kPxPerMm);
    m_view->setBackgroundBrush(QColor(0xe8, 0xe8, 0xe8));

    // Tool buttons: add and delete controls.
    auto *tools = new QHBoxLayout;
    const auto addButton = [&](const QString &caption, const QString &name, auto onClick) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, onClick);
        tools->addWidget(b);
    };
    addButton(QStringLiteral("文字"), QStringLiteral("btnAddStatic"),
              [this]() { addControl(ControlKind::StaticText); });
    addButton(QStringLiteral("参数"), QStringLiteral("btnAddParameter"),
              [this]() { addControl(ControlKind::ParameterText, QStringLiteral("Title")); });
    addButton(QStringLiteral("系统变量"), QStringLiteral("btnAddSystem"),
              [this]() { addControl(ControlKind::SystemVar, QStringLiteral("PageOfPages")); });
    addButton(QStringLiteral("线条"), QStringLiteral("btnAddLine"), [this]() { addControl(ControlKind::Line); });
    addButton(QStringLiteral("方框"), QStringLiteral("btnAddBox"), [this]() { addControl(ControlKind::Box); });
    addButton(QStringLiteral("删除"), QStringLiteral("btnDeleteControl"), [this]() { deleteSelectedControl(); });
    tools->addStretch(1);

    // The property panel of the selected control.
    auto *props = new QWidget(this);
    auto *form = new QFormLayout(props);
    m_kind = new QLabel(props);
    m_name = new QLineEdit(props);
    m_text = new QLineEdit(props);
    m_source = new QComboBox(props);
    m_source->setEditable(true);
    m_format = new QLineEdit(props);
    m_align = new QComboBox(props);
    m_align->addItems({QStringLiteral("左对齐"), QStringLiteral("居中"), QStringLiteral("右对齐")});
    const auto spin = [props](double max) {
        auto *s = new QDoubleSpinBox(props);
        s->setRange(-50, max);
        s->setDecimals(1);
        s->setSuffix(QStringLiteral(" mm"));
        return s;
    };
    m_x = spin(500);
    m_y = spin(500);
    m_w = spin(500);
    m_h = spin(500);
    m_x->setObjectName(QStringLiteral("spnLeft"));
    m_y->setObjectName(QStringLiteral("spnTop"));
    m_w->setObjectName(QStringLiteral("spnWidth"));
    m_h->setObjectName(QStringLiteral("spnHeight"));
    m_fontSize = new QDoubleSpinBox(props);
    m_fontSize->setRange(0, 72);
    m_fontSize->setDecimals(1);
    m_bold = new QCheckBox(QStringLiteral("粗体"), props);
    m_border = new QCheckBox(QStringLiteral("边框"), props);
    form->addRow(QStringLiteral("类型"), m_kind);
    form->addRow(QStringLiteral("名称"), m_name);
    form->addRow(QStringLiteral("文字"), m_text);
    form->addRow(QStringLiteral("字段/参数"), m_source);
    form->addRow(QStringLiteral("格式"), m_format);
    form->addRow(QStringLiteral("对齐"), m_align);
    form->addRow(QStringLiteral("左"), m_x);
    form->addRow(QStringLiteral("上"), m_y);
    form->addRow(QStringLiteral("宽"), m_w);
    form->addRow(QStringLiteral("高"), m_h);
    form->addRow(QStringLiteral("字号"), m_fontSize);
    form->addRow(m_bold, m_border);
    for (QLineEdit *e : {m_name, m_text, m_format})
        connect(e, &QLineEdit::editingFinished, this, &TReportDesigner::applyProperties);
    for (QDoubleSpinBox *s : {m_x, m_y, m_w, m_h, m_fontSize})
        connect(s, &QDoubleSpinBox::editingFinished, this, &TReportDesigner::applyProperties);
    connect(m_source, &QComboBox::currentTextChanged, this, [this]() { applyProperties(); });
    connect(m_align, &QComboBox::currentIndexChanged, this, [this]() { applyProperties(); });
    for (QCheckBox *b : {m_bold, m_border})
        connect(b, &QCheckBox::toggled, this, [this]() { applyProperties(); });

    // Fields of the bound query: a double-click adds a field control.
    m_fieldList = new QListWidget(this);
    m_fieldList->setObjectName(QStringLiteral("lstFields"));
    connect(m_fieldList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { addControl(ControlKind::FieldText, item->text()); });

    // The detail grid's columns.
    m_columns = new QTableWidget(0, 6, this);
    m_columns->setObjectName(QStringLiteral("tblColumns"));
    m_columns->setHorizontalHeaderLabels({QStringLiteral("标题"), QStringLiteral("字段"), QStringLiteral("宽度"),
                                          QStringLiteral("对齐"), QStringLiteral("格式"), QStringLiteral("合计")});
    m_columns->horizontalHeader()->setStretchLastSection(true);
    connect(m_columns, &QTableWidget::itemChanged, this, [this]() {
        if (!m_loading) {
            takeColumnTable();
            rebuildScene();
            markModified();
        }
    });
    auto *columnButtons = new QHBoxLayout;
    auto *addCol = new QPushButton(QStringLiteral("增加列"), this);
    addCol->setObjectName(QStringLiteral("btnAddColumn"));
    auto *delCol = new QPushButton(QStringLiteral("删除列"), this);
    delCol->setObjectName(QStringLiteral("btnDeleteColumn"));
    connect(addCol, &QPushButton::clicked, this, [this]() {
        const QListWidgetItem *field = m_fieldList->currentItem();
        addColumn(field ? field->text() : QString());
    });
    connect(delCol, &QPushButton::clicked, this, [this]() { deleteColumn(m_columns->currentRow()); });
    columnButtons->addWidget(addCol);
    columnButtons->addWidget(delCol);
    columnButtons->addStretch(1);

    auto *side = new QWidget(this);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(props);
    sideLayout->addWidget(new QLabel(QStringLiteral("字段（双击加入）"), side));
    sideLayout->addWidget(m_fieldList, 1);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    auto *left = new QWidget(splitter);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addLayout(tools);
    leftLayout->addWidget(m_view, 3);
    leftLayout->addWidget(new QLabel(QStringLiteral("明细网格列"), left));
    leftLayout->addWidget(m_columns, 1);
    leftLayout->addLayout(columnButtons);
    splitter->addWidget(left);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_scene, &QGraphicsScene::selectionChanged, this, [this]() {
        if (m_loading)
            return;
        const QList<QGraphicsItem *> items = m_scene->selectedItems();
        m_selected = items.isEmpty() ? QString() : items.first()->data(0).toString();
        showProperties();
    });
}

TReportDesigner::~TReportDesigner()
{
    // The scene goes after this object's members; its last selection change must not reach them.
    m_scene->disconnect(this);
}

void TReportDesigner::setTemplate(const TReportTemplate &t)
{
    m_t = t;
    m_selected.clear();
    m_modified = false;
    fillColumnTable();
    rebuildScene();
    showProperties();
}

TReportTemplate TReportDesigner::currentTemplate()
{
    applyProperties();
    takeColumnTable();
    return m_t;
}

void TReportDesigner::setFields(const QStringList &fields)
{
    // A query may name a column twice; the report reads the first.
    m_fields = fields;
    m_fields.removeDuplicates();
    m_fieldList->clear();
    m_fieldList->addItems(m_fields);
    m_source->clear();
    m_source->addItems(m_fields);
}

TReportControl *TReportDesigner::find(const QString &name, TReportBand **bandOut)
{
    for (TReportBand *band : {&m_t.pageHeader, &m_t.reportHeader, &m_t.reportFooter, &m_t.pageFooter})
        for (TReportControl &c : band->controls)
            if (c.name == name) {
                if (bandOut)
                    *bandOut = band;
                return &c;
            }
    return nullptr;
}

void TReportDesigner::rebuildScene()
{
    m_loading = true;
    m_scene->clear();
    const double left = m_t.marginLeft;
    double y = m_t.marginTop;
    const auto bandFrame = [&](const QString &caption, double height) {
        auto *frame = m_scene->addRect(QRectF(left, y, m_t.contentWidth(), height),
                                       QPen(QColor(0x66, 0x99, 0xcc), 0, Qt::DashLine));
        frame->setZValue(-1);
        auto *label = m_scene->addSimpleText(caption);
        label->setScale(0.25);
        label->setBrush(QColor(0x33, 0x66, 0x99));
        label->setPos(1, y);
    };
    const auto placeBand = [&](TReportBand &band, const QString &caption) {
        if (!band.present)
            return;
        bandFrame(caption, band.height);
        for (const TReportControl &c : band.controls) {
            auto *item = new TControlItem(this, c, QPointF(left, y), m_t.font);
            m_scene->addItem(item);
            item->setSelected(c.name == m_selected);
        }
        y += band.height + kBandGap;
    };
    placeBand(m_t.pageHeader, QStringLiteral("页眉"));
    placeBand(m_t.reportHeader, QStringLiteral("报表头"));
    // The grid: its column headers and one row of field names.
    const double gridHeight = m_t.grid.headerHeight + m_t.grid.rowHeight;
    bandFrame(QStringLiteral("明细"), gridHeight);
    double x = left;
    for (const TReportColumn &c : m_t.grid.columns) {
        m_scene->addRect(QRectF(x, y, c.width, m_t.grid.headerHeight), QPen(Qt::black, 0));
        m_scene->addRect(QRectF(x, y + m_t.grid.headerHeight, c.width, m_t.grid.rowHeight), QPen(Qt::gray, 0));
        auto *caption = m_scene->addSimpleText(c.caption);
        caption->setScale(0.3);
        caption->setPos(x + 0.5, y + 1);
        auto *field = m_scene->addSimpleText(c.field.isEmpty() ? QStringLiteral("#")
                                                               : QStringLiteral("{") + c.field + QStringLiteral("}"));
        field->setScale(0.25);
        field->setBrush(Qt::darkGray);
        field->setPos(x + 0.5, y + m_t.grid.headerHeight + 1);
        x += c.width;
    }
    y += gridHeight + kBandGap;
    placeBand(m_t.reportFooter, QStringLiteral("报表尾"));
    placeBand(m_t.pageFooter, QStringLiteral("页脚"));
    auto *paper = m_scene->addRect(QRectF(0, 0, m_t.paperWidth, std::max(y + m_t.marginBottom, m_t.paperHeight)),
                                   QPen(Qt::gray, 0), Qt::white);
    paper->setZValue(-2);
    m_scene->setSceneRect(paper->rect().adjusted(-5, -5, 5, 5));
    m_loading = false;
}

void TReportDesigner::showProperties()
{
    m_loading = true;
    const TReportControl *c = find(m_selected);
    for (QWidget *w : std::initializer_list<QWidget *>{m_name, m_text, m_source, m_format, m_align, m_x, m_y, m_w, m_h,
                                                       m_fontSize, m_bold, m_border})
        w->setEnabled(c != nullptr);
    if (c) {
        m_kind->setText(ControlKindName(c->kind));
        m_name->setText(c->name);
        m_text->setText(c->text);
        m_source->setCurrentText(c->source);
        m_format->setText(c->format);
        m_align->setCurrentIndex(static_cast<int>(c->align));
        m_x->setValue(c->x);
        m_y->setValue(c->y);
        m_w->setValue(c->w);
        m_h->setValue(c->h);
        m_fontSize->setValue(c->font.size);
        m_bold->setChecked(c->font.bold);
        m_border->setChecked(c->border);
    } else {
        m_kind->clear();
    }
    m_loading = false;
}

void TReportDesigner::applyProperties()
{
    if (m_loading)
        return;
    TReportControl *c = find(m_selected);
    if (!c)
        return;
    TReportControl before = *c;
    const QString newName = m_name->text().trimmed();
    // A name stays unique: the print form finds controls by it.
    if (!newName.isEmpty() && newName != c->name && !find(newName))
        c->name = newName;
    c->text = m_text->text();
    c->source = m_source->currentText();
    c->format = m_format->text();
    c->align = static_cast<Align>(std::max(0, m_align->currentIndex()));
    c->x = m_x->value();
    c->y = m_y->value();
    c->w = m_w->value();
    c->h = m_h->value();
    c->font.size = m_fontSize->value();
    c->font.bold = m_bold->isChecked();
    c->border = m_border->isChecked();
    const bool changedSomething = before.name != c->name || before.text != c->text || before.source != c->source
        || before.format != c->format || before.align != c->align || before.x != c->x || before.y != c->y
        || before.w != c->w || before.h != c->h || before.font.size != c->font.size || before.font.bold != c->font.bold
        || before.border != c->border;
    if (!changedSomething)
        return;
    m_selected = c->name;
    markModified();
    rebuildScene();
}

void TReportDesigner::fillColumnTable()
{
    m_loading = true;
    m_columns->setRowCount(static_cast<int>(m_t.grid.columns.size()));
    for (int r = 0; r < m_t.grid.columns.size(); ++r) {
        const TReportColumn &c = m_t.grid.columns.at(r);
        const QStringList cells{c.caption,          c.field,  QString::number(c.width),
                                AlignName(c.align), c.format, c.sum ? QStringLiteral("1") : QString()};
        for (int col = 0; col < cells.size(); ++col)
            m_columns->setItem(r, col, new QTableWidgetItem(cells.at(col)));
    }
    m_loading = false;
}

void TReportDesigner::takeColumnTable()
{
    for (int r = 0; r < m_columns->rowCount() && r < m_t.grid.columns.size(); ++r) {
        TReportColumn &c = m_t.grid.columns[r];
        const auto cell = [&](int col) {
            return m_columns->item(r, col) ? m_columns->item(r, col)->text() : QString();
        };
        c.caption = cell(0);
        c.field = cell(1).trimmed();
        bool ok = false;
        const double width = cell(2).toDouble(&ok);
        if (ok && width > 0)
            c.width = width;
        const QString align = cell(3).trimmed();
        c.align = align == QLatin1String("center") ? Align::Center
            : align == QLatin1String("right")      ? Align::Right
                                                   : Align::Left;
        c.format = cell(4).trimmed();
        c.sum = !cell(5).trimmed().isEmpty() && cell(5).trimmed() != QLatin1String("0");
    }
}

void TReportDesigner::itemMoved(const QString &name, double x, double y, double w, double h)
{
    TReportControl *c = find(name);
    if (!c || (c->x == x && c->y == y && c->w == w && c->h == h))
        return;
    c->x = x;
    c->y = y;
    c->w = w;
    c->h = h;
    m_selected = name;
    markModified();
    showProperties();
}

void TReportDesigner::markModified()
{
    m_modified = true;
    Q_EMIT changed();
}

bool TReportDesigner::selectControl(const QString &name)
{
    if (!find(name))
        return false;
    m_selected = name;
    for (QGraphicsItem *item : m_scene->items())
        item->setSelected(item->data(0).toString() == name);
    showProperties();
    return true;
}

bool TReportDesigner::moveControl(const QString &name, double x, double y)
{
    const TReportControl *c = find(name);
    if (!c)
        return false;
    itemMoved(name, x, y, c->w, c->h);
    rebuildScene();
    return true;
}

bool TReportDesigner::resizeControl(const QString &name, double w, double h)
{
    const TReportControl *c = find(name);
    if (!c)
        return false;
    itemMoved(name, c->x, c->y, w, h);
    rebuildScene();
    return true;
}

QString TReportDesigner::addControl(ControlKind kind, const QString &source)
{
    QString prefix;
    for (const auto &[k, p] : kNamePrefixes)
        if (k == kind)
            prefix = QLatin1String(p);
    int n = 1;
    while (find(prefix + QString::number(n)))
        ++n;
    TReportControl c;
    c.name = prefix + QString::number(n);
    c.kind = kind;
    c.source = source;
    c.text = kind == ControlKind::StaticText ? QStringLiteral("文字") : QString();
    c.w = kind == ControlKind::Line ? 40 : 30;
    c.h = kind == ControlKind::Line ? 0 : 6;
    TReportBand &band = m_t.reportHeader;
    if (!band.present) {
        band.present = true;
        band.height = 10;
    }
    band.controls.append(c);
    m_selected = c.name;
    markModified();
    rebuildScene();
    showProperties();
    return c.name;
}

bool TReportDesigner::deleteSelectedControl()
{
    TReportBand *band = nullptr;
    const TReportControl *c = find(m_selected, &band);
    if (!c)
        return false;
    band->controls.removeAt(static_cast<int>(c - band->controls.constData()));
    m_selected.clear();
    markModified();
    rebuildScene();
    showProperties();
    return true;
}

void TReportDesigner::addColumn(const QString &field)
{
    takeColumnTable();
    TReportColumn c;
    c.name = QStringLiteral("Col") + (field.isEmpty() ? QString::number(m_t.grid.columns.size() + 1) : field);
    c.field = field;
    c.caption = field.isEmpty() ? QStringLiteral("新列") : field;
    m_t.grid.columns.append(c);
    fillColumnTable();
    markModified();
    rebuildScene();
}

bool TReportDesigner::deleteColumn(int index)
{
    takeColumnTable();
    if (index < 0 || index >= m_t.grid.columns.size())
        return false;
    m_t.grid.columns.removeAt(index);
    fillColumnTable();
    markModified();
    rebuildScene();
    return true;
}

} // namespace protask::report
