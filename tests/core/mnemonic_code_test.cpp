#include "core/mnemonic_code.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <QList>

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

struct Case
{
    const char *name;
    QString text;
    QString code;
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

// The character a GBK double-byte code stands for, decoded by glibc; empty for unassigned codes.
QString fromGbk(unsigned char lead, unsigned char trail)
{
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == iconv_t(-1))
        return {};
    char in[2] = {char(lead), char(trail)};
    char out[8];
    char *inPtr = in;
    char *outPtr = out;
    size_t inLeft = 2;
    size_t outLeft = sizeof out;
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && inLeft == 0;
    iconv_close(cd);
    return ok ? QString::fromUtf8(out, outPtr - out) : QString();
}

bool isOneCapital(const QString &code)
{
    return code.size() == 1 && code.at(0) >= u'A' && code.at(0) <= u'Z';
}

QByteArray bytes(std::initializer_list<unsigned char> list)
{
    QByteArray b;
    for (unsigned char c : list)
        b.append(char(c));
    return b;
}

} // namespace

class MnemonicCodeOfText : public testing::TestWithParam<Case>
{
};

TEST_P(MnemonicCodeOfText, GivesTheSearchCode)
{
    EXPECT_EQ(GetMnemonicCode(GetParam().text), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Names, MnemonicCodeOfText,
    testing::Values(
        Case{"BillTypeCaption", u"生产任务单"_s, u"SCRWD"_s},
        Case{"Product", u"螺丝钉"_s, u"LSD"_s},
        Case{"Furniture", u"办公椅"_s, u"BGY"_s},
        Case{"AsciiUpperCasedPunctuationDropped", u"ab-12"_s, u"AB12"_s},
        Case{"LatinAndHanziMixed", u"abc 螺丝钉 M8"_s, u"ABCLSDM8"_s},
        Case{"GreekCapitalPhiInDiameter", u"钢管Φ20"_s, u"GGPH20"_s},
        Case{"Empty", QString(), QString()},
        Case{"AsciiPunctuationOnly", u" -_.,;:!?()[]{}<>'\"/\\@#$%^&*+=~`|"_s, QString()},
        Case{"FullWidthPunctuationOnly", u"！，．：；？（）［］｛｝＋－／＃％＆＊"_s, QString()},
        // Full-width letters keep their case, unlike ASCII ones.
        Case{"FullWidthLettersAndDigits", u"ＡＢ１ａｂ"_s, u"AB1ab"_s},
        // Symbols of row A1 (ideographic full stop and space, multiplication sign) are
        // double-byte characters without a reading.
        Case{"RowA1SymbolsAreUnknown", u"M8×30。　"_s, u"M8?30??"_s},
        Case{"EnumeratedCircled", u"①"_s, u"1"_s},
        Case{"EnumeratedParenthesised", u"⑴"_s, u"1"_s},
        Case{"EnumeratedWithFullStop", u"⒈"_s, u"1"_s},
        Case{"EnumeratedTwenty", u"⒛⒇"_s, u"2020"_s},
        Case{"RomanTwelve", u"Ⅻ"_s, u"12"_s},
        Case{"SmallRomanTen", u"ⅹ"_s, u"10"_s},
        Case{"ParenthesisedHanziTen", u"㈩"_s, u"10"_s},
        Case{"GreekCapitalAndSmall", u"Ωα"_s, u"OA"_s},
        Case{"GreekTwoLetterNames", u"θχψ"_s, u"THKHPS"_s},
        Case{"EmojiIsOneUnknown", u"螺丝😀钉"_s, u"LS?D"_s},
        Case{"HangulOutsideGbk", u"한"_s, u"?"_s},
        Case{"LoneSurrogate", QString(QChar(0xD800)), u"?"_s},
        // Hanzi of GBK outside GB2312, as company names use them.
        Case{"GbkExtensionHanzi", u"堃喆犇垚"_s, u"KZBY"_s},
        Case{"CompanyNameHanzi", u"鑫淼焱公司"_s, u"XMYGS"_s}),
    [](const testing::TestParamInfo<Case> & tpi) { return std::string(tpi.param.name); });

TEST(MnemonicCode, PolyphonicHanziGiveALetterNotUnknown)
{
    for (const QChar c : u"长行重厦乐朴单仇区曾解查会茄"_s)
        EXPECT_TRUE(isOneCapital(GetMnemonicCode(QString(c)))) << qPrintable(QString(c));
}

TEST(MnemonicCode, EveryGb2312HanziGetsALetter)
{
    // Level 1 (rows B0..D7) is what names are written in; level 2 (D8..F7) completes GB2312.
    int level1 = 0;
    QStringList missing;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const QString c = fromGbk(lead, trail);
            if (c.isEmpty())
                continue;
            if (lead <= 0xD7)
                ++level1;
            if (!isOneCapital(GetMnemonicCode(c)))
                missing << QString::asprintf("%02X%02X ", lead, trail) + c;
        }
    }
    EXPECT_EQ(level1, 3755);
    EXPECT_TRUE(missing.isEmpty()) << qPrintable(missing.join(u", "));
}

TEST(MnemonicCode, IsCutTo255Characters)
{
    EXPECT_EQ(GetMnemonicCode(QString(300, u'生')), QString(255, u'S'));
    EXPECT_EQ(GetMnemonicCode(QString(300, u'x')), QString(255, u'X'));
    // Dropped characters do not count towards the limit.
    EXPECT_EQ(GetMnemonicCode(QString(300, u'-') + u"ab"_s), u"AB"_s);
    // A two-letter Greek name at the limit is cut in the middle.
    EXPECT_EQ(GetMnemonicCode(QString(254, u'a') + u"θ"_s), QString(254, u'A') + u'T');
}

class MnemonicCodeOfGbkBytes : public testing::TestWithParam<std::pair<QByteArray, QString>>
{
};

TEST_P(MnemonicCodeOfGbkBytes, FollowsTheRowRules)
{
    EXPECT_EQ(MnemonicCodeFromGbk(GetParam().first, MnemonicOptions()), GetParam().second);
}

// The edges of the enumerated-number runs and Greek ranges, and how bytes pair up.
INSTANTIATE_TEST_SUITE_P(
    RowEdges, MnemonicCodeOfGbkBytes,
    testing::Values(std::pair{bytes({0xA2, 0xA1}), u"1"_s}, std::pair{bytes({0xA2, 0xAA}), u"10"_s},
                    std::pair{bytes({0xA2, 0xAB}), QString()}, std::pair{bytes({0xA2, 0xB1}), u"1"_s},
                    std::pair{bytes({0xA2, 0xC4}), u"20"_s}, std::pair{bytes({0xA2, 0xC5}), u"1"_s},
                    std::pair{bytes({0xA2, 0xD8}), u"20"_s}, std::pair{bytes({0xA2, 0xD9}), u"1"_s},
                    std::pair{bytes({0xA2, 0xE2}), u"10"_s}, std::pair{bytes({0xA2, 0xE3}), QString()},
                    std::pair{bytes({0xA2, 0xE5}), u"1"_s}, std::pair{bytes({0xA2, 0xEE}), u"10"_s},
                    std::pair{bytes({0xA2, 0xF1}), u"1"_s}, std::pair{bytes({0xA2, 0xFC}), u"12"_s},
                    std::pair{bytes({0xA2, 0xFD}), QString()}, std::pair{bytes({0xA2, 0xA0}), u"?"_s},
                    std::pair{bytes({0xA2, 0x40}), u"?"_s}, std::pair{bytes({0xA3, 0xB0}), u"0"_s},
                    std::pair{bytes({0xA3, 0xDA}), u"Z"_s}, std::pair{bytes({0xA3, 0xFA}), u"z"_s},
                    std::pair{bytes({0xA3, 0x41}), QString()}, std::pair{bytes({0xA6, 0xA1}), u"A"_s},
                    std::pair{bytes({0xA6, 0xB8}), u"O"_s}, std::pair{bytes({0xA6, 0xB9}), QString()},
                    std::pair{bytes({0xA6, 0xC1}), u"A"_s}, std::pair{bytes({0xA6, 0xD8}), u"O"_s},
                    std::pair{bytes({0xA6, 0xE0}), QString()}, std::pair{bytes({0xA6, 0x40}), QString()},
                    // user-defined area and the unknown-character pair: no reading
                    std::pair{bytes({0xAA, 0xA1}), u"?"_s}, std::pair{bytes({0xFF, 0xFF}), u"?"_s},
                    // a trail byte below 0x40 makes both bytes single: the lead is dropped
                    std::pair{bytes({0x81, '0'}), u"0"_s}, std::pair{bytes({0xB0}), QString()},
                    std::pair{bytes({'a', 0xB0, 0xA1, 'b'}), u"AAB"_s}));

TEST(MnemonicCode, OptionsOfTheGeneralRoutine)
{
    MnemonicOptions options;
    options.unknownAsQuestionMark = false;
    EXPECT_EQ(MnemonicCode(u"螺😀×钉"_s, options), u"LD"_s);

    options = MnemonicOptions();
    options.keepAllSingleBytes = true;
    EXPECT_EQ(MnemonicCode(u"m8-螺丝 x"_s, options), u"M8-LS X"_s);

    options = MnemonicOptions();
    options.maxLength = 3;
    EXPECT_EQ(MnemonicCode(u"生产任务单"_s, options), u"SCR"_s);
    options.maxLength = -1;
    EXPECT_EQ(MnemonicCode(QString(300, u'x'), options).size(), 300);
}
