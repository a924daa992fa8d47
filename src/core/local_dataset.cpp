#include "core/local_dataset.h"

#include "core/sql_helpers.h"

#include <cmath>
#include <stdexcept>

namespace protask {

// ---------------------------------------------------------------------------------------------
// TFilterExpression

struct TFilterExpression::Node {
    enum class Op { And, Or, Like, Equal, NotEqual };
    Op op = Op::Equal;
    std::shared_ptr<const Node> left;
    std::shared_ptr<const Node> right;
    QString field;
    QString text;          // the literal; for like without its leading and trailing %
    bool isNumber = false; // an unquoted number, compared numerically
    double number = 0.0;
    bool anchorStart = true; // like: the text must start the value
    bool anchorEnd = true;   // like: the text must end the value
};

namespace {

using Node = TFilterExpression::Node;
using NodePtr = std::shared_ptr<const Node>;

enum class Tok { Ident, String, Number, LParen, RParen, Equal, NotEqual, And, Or, Like, End };

struct Token {
    Tok kind = Tok::End;
    QString text;
    int pos = 0;
};

[[noreturn]] void fail(const QString &expression, int pos, const QString &what)
{
    throw std::invalid_argument(
        QStringLiteral("filter expression \"%1\": %2 at position %3").arg(expression, what).arg(pos + 1).toStdString());
}

QVector<Token> tokenize(const QString &s)
{
    QVector<Token> tokens;
    int i = 0;
    const int n = static_cast<int>(s.size());
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i;
        if (c == u'(' || c == u')') {
            t.kind = c == u'(' ? Tok::LParen : Tok::RParen;
            ++i;
        } else if (c == u'=') {
            t.kind = Tok::Equal;
            ++i;
        } else if (c == u'<' && i + 1 < n && s[i + 1] == u'>') {
            t.kind = Tok::NotEqual;
            i += 2;
        } else if (c == u'!' && i + 1 < n && s[i + 1] == u'=') {
            t.kind = Tok::NotEqual;
            i += 2;
        } else if (c == u'\'') {
            t.kind = Tok::String;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s[i] == u'\'') {
                    if (i + 1 < n && s[i + 1] == u'\'') {
                        t.text.append(u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                t.text.append(s[i]);
                ++i;
            }
            if (!closed)
                fail(s, t.pos, QStringLiteral("text without its closing quote"));
        } else if (c == u'[') {
            const int close = static_cast<int>(s.indexOf(u']', i + 1));
            if (close < 0)
                fail(s, i, QStringLiteral("field name without its closing bracket"));
            t.kind = Tok::Ident;
            t.text = s.mid(i + 1, close - i - 1).trimmed();
            i = close + 1;
        } else if (c.isDigit() || (c == u'-' && i + 1 < n && (s[i + 1].isDigit() || s[i + 1] == u'.'))
                   || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            t.kind = Tok::Number;
            t.text.append(c);
            ++i;
            while (i < n && (s[i].isDigit() || s[i] == u'.'))
                t.text.append(s[i++]);
        } else if (c.isLetter() || c == u'_') {
            while (i < n && (s[i].isLetterOrNumber() || s[i] == u'_'))
                t.text.append(s[i++]);
            const QString word = t.text.toLower();
            if (word == QLatin1String("and"))
                t.kind = Tok::And;
            else if (word == QLatin1String("or"))
                t.kind = Tok::Or;
            else if (word == QLatin1String("like"))
                t.kind = Tok::Like;
            else
                t.kind = Tok::Ident;
        } else {
            fail(s, i, QStringLiteral("unexpected character '%1'").arg(c));
        }
        tokens.append(t);
    }
    Token end;
    end.kind = Tok::End;
    end.pos = n;
    tokens.append(end);
    return tokens;
}

// A like pattern: unescaped % at either end drop the anchor on that side; a backslash makes
// the next character literal (\\% a percent sign, \\\\ a backslash), so typed text is matched
// as it stands.
void readLikePattern(const QString &pattern, Node &node)
{
    QVector<std::pair<QChar, bool>> chars; // character, escaped
    for (int i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == u'\\' && i + 1 < pattern.size())
            chars.append({pattern.at(++i), true});
        else
            chars.append({pattern.at(i), false});
    }
    auto isWildcard = [](const std::pair<QChar, bool> &c) { return c.first == u'%' && !c.second; };
    int begin = 0;
    int end = static_cast<int>(chars.size());
    while (begin < end && isWildcard(chars.at(begin)))
        ++begin;
    while (end > begin && isWildcard(chars.at(end - 1)))
        --end;
    node.anchorStart = begin == 0;
    node.anchorEnd = end == chars.size();
    node.text.clear();
    for (int i = begin; i < end; ++i)
        node.text += chars.at(i).first;
}

class Parser {
public:
    explicit Parser(const QString &text) : m_text(text), m_tokens(tokenize(text)) {}

    NodePtr parse()
    {
        NodePtr root = parseOr();
        if (peek().kind != Tok::End)
            fail(m_text, peek().pos, QStringLiteral("\"and\" or \"or\" expected"));
        return root;
    }

private:
    const Token &peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos++]; }

    NodePtr combine(Node::Op op, NodePtr left, NodePtr right)
    {
        auto node = std::make_shared<Node>();
        node->op = op;
        node->left = std::move(left);
        node->right = std::move(right);
        return node;
    }

    NodePtr parseOr()
    {
        NodePtr left = parseAnd();
        while (peek().kind == Tok::Or) {
            take();
            left = combine(Node::Op::Or, left, parseAnd());
        }
        return left;
    }

    NodePtr parseAnd()
    {
        NodePtr left = parsePrimary();
        while (peek().kind == Tok::And) {
            take();
            left = combine(Node::Op::And, left, parsePrimary());
        }
        return left;
    }

    NodePtr parsePrimary()
    {
        if (peek().kind == Tok::LParen) {
            take();
            NodePtr inner = parseOr();
            if (peek().kind != Tok::RParen)
                fail(m_text, peek().pos, QStringLiteral("\")\" expected"));
            take();
            return inner;
        }
        return parseTerm();
    }

    NodePtr parseTerm()
    {
        const Token field = take();
        if (field.kind != Tok::Ident || field.text.isEmpty())
            fail(m_text, field.pos, QStringLiteral("field name expected"));
        auto node = std::make_shared<Node>();
        node->field = field.text;
        const Token op = take();
        switch (op.kind) {
        case Tok::Like: node->op = Node::Op::Like; break;
        case Tok::Equal: node->op = Node::Op::Equal; break;
        case Tok::NotEqual: node->op = Node::Op::NotEqual; break;
        default: fail(m_text, op.pos, QStringLiteral("\"like\", \"=\" or \"<>\" expected"));
        }
        const Token value = take();
        if (value.kind == Tok::String) {
            node->text = value.text;
        } else if (value.kind == Tok::Number && node->op != Node::Op::Like) {
            bool ok = false;
            node->number = value.text.toDouble(&ok);
            if (!ok)
                fail(m_text, value.pos, QStringLiteral("unreadable number"));
            node->isNumber = true;
            node->text = value.text;
        } else {
            fail(m_text, value.pos, QStringLiteral("quoted text expected"));
        }
        if (node->op == Node::Op::Like)
            readLikePattern(value.text, *node);
        return node;
    }

    QString m_text;
    QVector<Token> m_tokens;
    int m_pos = 0;
};

bool evaluate(const Node &node, const std::function<QVariant(const QString &)> &valueOf)
{
    switch (node.op) {
    case Node::Op::And: return evaluate(*node.left, valueOf) && evaluate(*node.right, valueOf);
    case Node::Op::Or: return evaluate(*node.left, valueOf) || evaluate(*node.right, valueOf);
    default: break;
    }
    const QVariant v = valueOf(node.field);
    const QString text = v.isNull() ? QString() : v.toString();
    if (node.op == Node::Op::Like) {
        if (node.anchorStart && node.anchorEnd)
            return text.compare(node.text, Qt::CaseInsensitive) == 0;
        if (node.anchorStart)
            return text.startsWith(node.text, Qt::CaseInsensitive);
        if (node.anchorEnd)
            return text.endsWith(node.text, Qt::CaseInsensitive);
        return text.contains(node.text, Qt::CaseInsensitive);
    }
    bool equal = false;
    if (node.isNumber) {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        equal = ok && std::fabs(d - node.number) <= 1e-9 * qMax(1.0, std::fabs(node.number));
    } else {
        equal = text.compare(node.text, Qt::CaseInsensitive) == 0;
    }
    return node.op == Node::Op::Equal ? equal : !equal;
}

void collectFields(const Node &node, QStringList &fields)
{
    if (node.op == Node::Op::And || node.op == Node::Op::Or) {
        collectFields(*node.left, fields);
        collectFields(*node.right, fields);
    } else {
        fields.append(node.field);
    }
}

} // namespace

TFilterExpression::TFilterExpression() = default;
TFilterExpression::~TFilterExpression() = default;
TFilterExpression::TFilterExpression(const TFilterExpression &) = default;
TFilterExpression &TFilterExpression::operator=(const TFilterExpression &) = default;

TFilterExpression TFilterExpression::parse(const QString &text)
{
    TFilterExpression e;
    if (!text.trimmed().isEmpty())
        e.m_root = Parser(text).parse();
    return e;
}

QStringList TFilterExpression::fieldNames() const
{
    QStringList fields;
    if (m_root)
        collectFields(*m_root, fields);
    return fields;
}

bool TFilterExpression::matches(const std::function<QVariant(const QString &field)> &valueOf) const
{
    return !m_root || evaluate(*m_root, valueOf);
}

// ---------------------------------------------------------------------------------------------
// TLocalDataSet

TLocalDataSet::TLocalDataSet() = default;

TLocalDataSet::TLocalDataSet(const QSqlDatabase &db) : m_db(db) {}

void TLocalDataSet::open(const QString &sql)
{
    m_sql = sql;
    open();
}

void TLocalDataSet::open()
{
    TDataSet q(m_db.isValid() ? m_db : Db());
    if (OpenQuery(q, m_sql) < 0) {
        close();
        return;
    }
    m_fields = q.fieldNames();
    m_rows.clear();
    m_rows.reserve(q.recordCount());
    for (int r = 0; r < q.recordCount(); ++r) {
        QVector<QVariant> row;
        row.reserve(q.fieldCount());
        for (int c = 0; c < q.fieldCount(); ++c)
            row.append(q.value(r, c));
        m_rows.append(row);
    }
    m_fieldIndex.clear();
    for (int c = 0; c < m_fields.size(); ++c)
        m_fieldIndex.insert(m_fields[c].toUpper(), c);
    m_active = true;
    applyFilter();
}

void TLocalDataSet::load(const TDataSet &source)
{
    QVector<QVector<QVariant>> rows;
    rows.reserve(source.recordCount());
    for (int r = 0; r < source.recordCount(); ++r) {
        QVector<QVariant> row;
        row.reserve(source.fieldCount());
        for (int c = 0; c < source.fieldCount(); ++c)
            row.append(source.value(r, c));
        rows.append(row);
    }
    m_sql = source.sql();
    if (source.database().isValid())
        m_db = source.database();
    setRecords(source.fieldNames(), rows);
    m_active = source.isActive();
}

void TLocalDataSet::setRecords(const QStringList &fields, const QVector<QVector<QVariant>> &rows)
{
    m_fields = fields;
    m_rows = rows;
    m_fieldIndex.clear();
    for (int c = 0; c < m_fields.size(); ++c)
        m_fieldIndex.insert(m_fields[c].toUpper(), c);
    m_active = true;
    applyFilter();
}

void TLocalDataSet::refresh()
{
    if (m_sql.trimmed().isEmpty()) {
        applyFilter();
        return;
    }
    open();
}

void TLocalDataSet::close()
{
    m_active = false;
    m_rows.clear();
    m_visible.clear();
    m_cursor = 0;
}

void TLocalDataSet::setFilter(const QString &expression)
{
    TFilterExpression parsed = TFilterExpression::parse(expression);
    if (m_active)
        checkFields(parsed);
    m_filter = expression;
    m_expression = parsed;
    applyFilter();
}

void TLocalDataSet::setFiltered(bool on)
{
    m_filtered = on;
    applyFilter();
}

int TLocalDataSet::fieldIndex(const QString &name) const { return m_fieldIndex.value(name.trimmed().toUpper(), -1); }

QVariant TLocalDataSet::fieldByName(const QString &name) const { return value(m_cursor, name); }

QVariant TLocalDataSet::value(int row, const QString &name) const
{
    const int column = fieldIndex(name);
    if (column < 0)
        throw std::out_of_range(QStringLiteral("no field %1 in the dataset").arg(name).toStdString());
    if (row < 0 || row >= recordCount())
        return QVariant();
    return m_rows[m_visible[row]].value(column);
}

QStringList TLocalDataSet::fieldTexts(const QString &name) const
{
    QStringList texts;
    texts.reserve(recordCount());
    for (int r = 0; r < recordCount(); ++r) {
        const QVariant v = value(r, name);
        texts.append(v.isNull() ? QString() : v.toString());
    }
    return texts;
}

bool TLocalDataSet::locate(const QString &field, const QVariant &value, Qt::CaseSensitivity cs)
{
    const int column = fieldIndex(field);
    if (column < 0)
        throw std::out_of_range(QStringLiteral("no field %1 in the dataset").arg(field).toStdString());
    bool wantedIsNumber = false;
    const double wantedNumber = value.toDouble(&wantedIsNumber);
    wantedIsNumber = wantedIsNumber && value.typeId() != QMetaType::QString;
    const QString wantedText = value.isNull() ? QString() : value.toString();
    for (int r = 0; r < recordCount(); ++r) {
        const QVariant v = m_rows[m_visible[r]].value(column);
        bool found = false;
        if (wantedIsNumber) {
            bool ok = false;
            const double d = v.toDouble(&ok);
            found = ok && !v.isNull() && d == wantedNumber;
        } else {
            found = (v.isNull() ? QString() : v.toString()).compare(wantedText, cs) == 0;
        }
        if (found) {
            m_cursor = r;
            return true;
        }
    }
    return false;
}

void TLocalDataSet::applyFilter()
{
    m_visible.clear();
    m_cursor = 0;
    const bool filtering = m_filtered && !m_expression.isEmpty();
    m_visible.reserve(m_rows.size());
    for (int r = 0; r < m_rows.size(); ++r) {
        if (filtering) {
            const QVector<QVariant> &row = m_rows[r];
            const bool pass = m_expression.matches([this, &row](const QString &field) {
                const int column = fieldIndex(field);
                return column >= 0 ? row.value(column) : QVariant();
            });
            if (!pass)
                continue;
        }
        m_visible.append(r);
    }
}

void TLocalDataSet::checkFields(const TFilterExpression &expression) const
{
    for (const QString &field : expression.fieldNames()) {
        if (fieldIndex(field) < 0)
            throw std::invalid_argument(
                QStringLiteral("filter names the field %1, which the dataset does not have").arg(field).toStdString());
    }
}

namespace {

QString quotedFilterText(const QString &text)
{
    QString t = text;
    t.replace(u'\'', QLatin1String("''"));
    return t;
}

} // namespace

QString LookupFilterExpression(const QString &typed, const QStringList &fields)
{
    if (typed.trimmed().isEmpty())
        return QString();
    // The typed text is matched as it stands: its backslashes and percent signs are escaped.
    QString literal = typed.toUpper();
    literal.replace(u'\\', QLatin1String("\\\\"));
    literal.replace(u'%', QLatin1String("\\%"));
    const QString text = quotedFilterText(literal);
    QStringList terms;
    for (const QString &field : fields) {
        if (!field.trimmed().isEmpty())
            terms.append(field + QStringLiteral(" like '%") + text + QStringLiteral("%'"));
    }
    return terms.join(QStringLiteral(" or "));
}

} // namespace protask
