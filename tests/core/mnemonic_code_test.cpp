#include "core/mnemonic_code.h"
#include "test_db.h"

#include <QStringDecoder>

using namespace protask;
using namespace Qt::StringLiterals;

namespace {

bool isOneCapital(const QString &code) { return code.size() == 1 && code.at(0) >= u'A' && code.at(0) <= u'Z'; }

// ASCII letters are upper-cased and punctuation dropped; full-width letters keep their case;
// row A1 symbols, characters outside GBK and lone surrogates are unknown; enumerated numbers,
// Roman numerals and Greek letters are read out; Hanzi of GBK outside GB2312 (company names
// use them) have their letters.
TEST(MnemonicCode, GivesTheSearchCodeOfNamesAndSymbols)
{
    // clang-format off
    const std::pair<const char *, const char *> cases[] = {
        {"生产任务单", "SCRWD"}, {"螺丝钉", "LSD"}, {"办公椅", "BGY"}, {"ab-12", "AB12"}, {"钢管Φ20", "GGPH20"},
        {"abc 螺丝钉 M8", "ABCLSDM8"}, {"", ""}, {"ＡＢ１ａｂ", "AB1ab"}, {"M8×30。　", "M8?30??"}, {"①⑴⒈", "111"},
        {"⒛⒇", "2020"}, {"Ⅻ", "12"}, {"ⅹ", "10"}, {"㈩", "10"}, {"Ωα", "OA"}, {"θχψ", "THKHPS"}, {"螺丝😀钉", "LS?D"},
        {"한", "?"}, {"堃喆犇垚", "KZBY"}, {"鑫淼焱公司", "XMYGS"}, {" -_.,;:!?()[]{}<>'\"/\\@#$%^&*+=~`|", ""},
        {"！，．：；？（）［］｛｝＋－／＃％＆＊", ""}};
    // clang-format on
    for (const auto &[text, code] : cases)
        EXPECT_EQ(GetMnemonicCode(QString::fromUtf8(text)), QString::fromLatin1(code)) << text;
    EXPECT_EQ(GetMnemonicCode(QString(QChar(0xD800))), u"?"_s) << "a lone surrogate";
    for (const QChar c : u"长行重厦乐朴单仇区曾解查会茄"_s)
        EXPECT_TRUE(isOneCapital(GetMnemonicCode(QString(c)))) << "polyphonic " << qPrintable(QString(c));
}

TEST(MnemonicCode, EveryGb2312HanziGetsALetter)
{
    // Level 1 (rows B0..D7) is what names are written in; level 2 (D8..F7) completes GB2312.
    int level1 = 0;
    QStringList missing;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const char bytes[] = {char(lead), char(trail)};
            QStringDecoder gbk("GBK");
            const QString c = gbk(QByteArrayView(bytes, 2));
            if (gbk.hasError() || c == QChar(QChar::ReplacementCharacter) || c.at(0).unicode() >= 0xE000)
                continue; // unassigned, or the user-defined area
            level1 += lead <= 0xD7;
            if (!isOneCapital(GetMnemonicCode(c)))
                missing << QString::asprintf("%02X%02X ", lead, trail) + c;
        }
    }
    EXPECT_EQ(level1, 3755);
    EXPECT_TRUE(missing.isEmpty()) << qPrintable(missing.join(u", "));
}

// The edges of the enumerated-number runs and Greek ranges, the user-defined area, the
// unknown-character pair, and how bytes pair up (a trail byte below 0x40 makes both bytes
// single, a lone lead byte is dropped): the bytes in hex → the code.
TEST(MnemonicCode, FollowsTheRowRulesOfGbkBytes)
{
    const std::pair<const char *, const char *> cases[] = {
        {"A2A1", "1"}, {"A2AA", "10"}, {"A2AB", ""},  {"A2B1", "1"}, {"A2C4", "20"},     {"A2C5", "1"}, {"A2D8", "20"},
        {"A2D9", "1"}, {"A2E2", "10"}, {"A2E3", ""},  {"A2E5", "1"}, {"A2EE", "10"},     {"A2F1", "1"}, {"A2FC", "12"},
        {"A2FD", ""},  {"A2A0", "?"},  {"A240", "?"}, {"A3B0", "0"}, {"A3DA", "Z"},      {"A3FA", "z"}, {"A341", ""},
        {"A6A1", "A"}, {"A6B8", "O"},  {"A6B9", ""},  {"A6C1", "A"}, {"A6D8", "O"},      {"A6E0", ""},  {"A640", ""},
        {"AAA1", "?"}, {"FFFF", "?"},  {"8130", "0"}, {"B0", ""},    {"61B0A162", "AAB"}};
    for (const auto &[hex, code] : cases)
        EXPECT_EQ(MnemonicCodeFromGbk(QByteArray::fromHex(hex), MnemonicOptions()), QString::fromLatin1(code)) << hex;
}

// The code is cut to 255 characters, counting only the characters kept; a two-letter Greek
// name at the limit is cut in the middle. The general routine may keep unknown characters
// out, keep every single byte, or cut elsewhere.
TEST(MnemonicCode, LengthLimitAndOptionsOfTheGeneralRoutine)
{
    EXPECT_EQ(GetMnemonicCode(QString(300, u'生')), QString(255, u'S'));
    EXPECT_EQ(GetMnemonicCode(QString(300, u'-') + u"ab"_s), u"AB"_s);
    EXPECT_EQ(GetMnemonicCode(QString(254, u'a') + u"θ"_s), QString(254, u'A') + u'T');

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

} // namespace
