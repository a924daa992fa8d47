#include "core/mnemonic_code.h"

#include <QtEndian>
#include <QtGlobal>

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace protask {

namespace {

#include "core/pinyin_table.inc"

// Stands for a character GBK cannot hold; no GBK character is encoded with a 0xFF lead byte,
// so the pair falls outside the pinyin table and counts as a character without a reading.
constexpr char kUnknownPair[] = {'\xFF', '\xFF'};

// Row 0xA2: runs of enumerated numbers (ⅰ..ⅹ, ⒈..⒛, ⑴..⒇, ①..⑩, ㈠..㈩, Ⅰ..Ⅻ), each counting
// from 1 at its first trail byte.
struct NumberRun {
    unsigned char first;
    unsigned char last;
};
constexpr std::array<NumberRun, 6> kEnumeratedNumbers{{
    {0xA1, 0xAA},
    {0xB1, 0xC4},
    {0xC5, 0xD8},
    {0xD9, 0xE2},
    {0xE5, 0xEE},
    {0xF1, 0xFC},
}};

// Row 0xA6: the 24 Greek letters in alphabet order, capitals from 0xA1, small letters from 0xC1.
constexpr std::array<std::string_view, 24> kGreekLetters{
    "A", "B", "G", "D", "E", "Z", "E", "TH", "I",  "K",  "L",  "M",
    "N", "X", "O", "P", "R", "S", "T", "U",  "PH", "KH", "PS", "O",
};

bool isAsciiLetterOrDigit(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char asciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : char(c); }

// The upper-case pinyin initial of a double-byte character, or 0 when the table has none.
char pinyinInitial(unsigned char lead, unsigned char trail)
{
    if (lead < kGbkLeadFirst || lead > kGbkLeadLast || trail < kGbkTrailFirst || trail > kGbkTrailLast)
        return 0;
    const char initial = kGbkInitials[lead - kGbkLeadFirst][trail - kGbkTrailFirst];
    return initial == kGbkNoReading ? 0 : initial;
}

void appendDoubleByte(QString &out, unsigned char lead, unsigned char trail, const MnemonicOptions &options)
{
    const auto unknown = [&] {
        if (options.unknownAsQuestionMark)
            out += QLatin1Char('?');
    };

    if (lead == 0xA2) {
        if (trail <= 0xA0) {
            unknown();
            return;
        }
        for (const NumberRun &run : kEnumeratedNumbers) {
            if (trail >= run.first && trail <= run.last) {
                out += QString::number(trail - run.first + 1);
                return;
            }
        }
        return; // unassigned codes between the runs
    }

    if (lead == 0xA3) {
        // Full-width forms mirror ASCII; the letter keeps its case here.
        const unsigned char c = trail - 0x80;
        if (trail >= 0x80 && isAsciiLetterOrDigit(c))
            out += QLatin1Char(char(c));
        return;
    }

    if (lead == 0xA6) {
        if (trail >= 0xA1 && trail <= 0xB8)
            out += QLatin1StringView(kGreekLetters[trail - 0xA1]);
        else if (trail >= 0xC1 && trail <= 0xD8)
            out += QLatin1StringView(kGreekLetters[trail - 0xC1]);
        // The rest of the row (vertical punctuation, unassigned codes) gives nothing.
        return;
    }

    if (const char initial = pinyinInitial(lead, trail))
        out += QLatin1Char(initial);
    else
        unknown();
}

// Unicode to GBK through glibc's iconv, one character at a time.
class GbkEncoder {
public:
    GbkEncoder() : m_cd(iconv_open("GBK", "UTF-32LE"))
    {
        if (!isOpen())
            qWarning("mnemonic code: iconv cannot convert to GBK (%s)", std::strerror(errno));
    }
    ~GbkEncoder()
    {
        if (isOpen())
            iconv_close(m_cd);
    }
    GbkEncoder(const GbkEncoder &) = delete;
    GbkEncoder &operator=(const GbkEncoder &) = delete;

    // Appends the GBK bytes of one code point; false when GBK has no code for it.
    bool append(char32_t codePoint, QByteArray &out)
    {
        if (!isOpen())
            return false;
        char in[4];
        qToLittleEndian<quint32>(codePoint, in);
        char encoded[8];
        char *inPtr = in;
        char *outPtr = encoded;
        size_t inLeft = sizeof in;
        size_t outLeft = sizeof encoded;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
            return false;
        out.append(encoded, outPtr - encoded);
        return true;
    }

private:
    bool isOpen() const { return m_cd != iconv_t(-1); }

    iconv_t m_cd;
};

} // namespace

QByteArray ToGbkForMnemonic(const QString &text)
{
    QByteArray gbk;
    gbk.reserve(text.size() * 2);
    GbkEncoder encoder;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            gbk.append(char(c.unicode()));
            continue;
        }
        char32_t codePoint = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            codePoint = QChar::surrogateToUcs4(c, text.at(++i));
        // A stray half of a surrogate pair is no character at all, so GBK cannot hold it either.
        if (c.isSurrogate() && codePoint == c.unicode())
            gbk.append(kUnknownPair, sizeof kUnknownPair);
        else if (!encoder.append(codePoint, gbk))
            gbk.append(kUnknownPair, sizeof kUnknownPair);
    }
    return gbk;
}

QString MnemonicCodeFromGbk(const QByteArray &gbk, const MnemonicOptions &options)
{
    QString out;
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(gbk.at(i)); };
    qsizetype i = 0;
    while (i < gbk.size() && (options.maxLength < 0 || out.size() < options.maxLength)) {
        const unsigned char c = byteAt(i);
        if (c >= 0x81 && i + 1 < gbk.size() && byteAt(i + 1) >= 0x40) {
            appendDoubleByte(out, c, byteAt(i + 1), options);
            i += 2;
            continue;
        }
        if (isAsciiLetterOrDigit(c))
            out += QLatin1Char(asciiUpper(c));
        // A lone byte of 0x80 or above (the euro sign, a cut-off lead byte) is dropped even then.
        else if (options.keepAllSingleBytes && c < 0x80)
            out += QLatin1Char(char(c));
        ++i;
    }
    return options.maxLength < 0 ? out : out.left(options.maxLength);
}

QString MnemonicCode(const QString &text, const MnemonicOptions &options)
{
    return MnemonicCodeFromGbk(ToGbkForMnemonic(text), options);
}

QString GetMnemonicCode(const QString &text) { return MnemonicCode(text, MnemonicOptions()); }

} // namespace protask
