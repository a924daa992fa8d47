#pragma once

#include <QByteArray>
#include <QString>

namespace protask {

// How the mnemonic routine treats what is not a pinyin initial. GetMnemonicCode uses the
// defaults. The pinyin table holds initials only, so the routine has no whole-syllable mode.
struct MnemonicOptions {
    bool unknownAsQuestionMark = true; // a double-byte character without a reading gives "?"
    bool keepAllSingleBytes = false;   // keep single-byte characters other than letters and digits
    int maxLength = 255;               // the result is cut to this many characters; -1: no limit
};

// The search code stored in the FCode columns: the text in its GBK form, each hanzi replaced by
// the upper-case initial of its Hanyu Pinyin reading, ASCII letters and digits kept upper-cased,
// other single-byte characters dropped, a double-byte character without a reading (and a
// character GBK cannot hold) given as "?", cut to 255 characters. "生产任务单" gives "SCRWD".
QString GetMnemonicCode(const QString &text);

QString MnemonicCode(const QString &text, const MnemonicOptions &options);

// The same over text already in GBK. A lead byte of 0x81 or more and a trail byte of 0x40 or
// more form one double-byte character; anything else is a single byte.
QString MnemonicCodeFromGbk(const QByteArray &gbk, const MnemonicOptions &options);

// The text in GBK, one character at a time; a character GBK cannot hold becomes the byte pair
// FF FF, which no GBK character uses and which therefore has no reading.
QByteArray ToGbkForMnemonic(const QString &text);

} // namespace protask
