// Lines written and checked as short texts in the model tests.
#pragma once

#include "billedit/model/line_rules.h"

#include <QDate>
#include <QString>

#include <gtest/gtest.h>

namespace protask::testing {

// "FNumber=3;FPrice=10" -> cells; an empty value is a blank cell.
inline LineValues LineOf(const QString &text)
{
    LineValues line;
    for (const QString &cell : text.split(u';', Qt::SkipEmptyParts)) {
        const QString value = cell.section(u'=', 1);
        line.set(cell.section(u'=', 0, 0), value.isEmpty() ? QVariant() : QVariant(value));
    }
    return line;
}

// Every cell named must hold the value given: blank, '' (an empty text, not a blank cell), a
// date (ISO), a flag (1/0), a number or a text.
inline void ExpectCells(const LineValues &line, const QString &expected)
{
    for (const QString &cell : expected.split(u';', Qt::SkipEmptyParts)) {
        const QString field = cell.section(u'=', 0, 0);
        const QString want = cell.section(u'=', 1);
        const QVariant got = line.value(field);
        bool numeric = false;
        const double number = want.toDouble(&numeric);
        if (want == u"''")
            EXPECT_EQ(got, QVariant(QString())) << field.toStdString() << " is an empty text";
        else if (want.isEmpty())
            EXPECT_TRUE(line.blank(field)) << field.toStdString() << " = " << got.toString().toStdString();
        else if (field.endsWith(QLatin1String("Date")))
            EXPECT_EQ(got.toDate().toString(Qt::ISODate), want) << field.toStdString();
        else if (got.typeId() == QMetaType::Bool)
            EXPECT_EQ(got.toBool(), want == u"1") << field.toStdString();
        else if (numeric)
            EXPECT_NEAR(line.number(field), number, 1e-9) << field.toStdString();
        else
            EXPECT_EQ(got.toString(), want) << field.toStdString();
    }
}

} // namespace protask::testing
