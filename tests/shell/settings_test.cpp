// The settings store: decimal text in, decimal text out, written through at
// once.
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include "frontends/qt/shell/settings_store.h"

using namespace vorlak;

TEST(DecimalText, OnlyPlainDecimalIntegersCount) {
    EXPECT_EQ(parseDecimal(QStringLiteral("0")), 0);
    EXPECT_EQ(parseDecimal(QStringLiteral("2")), 2);
    EXPECT_EQ(parseDecimal(QStringLiteral("-1")), -1);
    EXPECT_EQ(parseDecimal(QStringLiteral("+7")), 7);
    EXPECT_EQ(parseDecimal(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(parseDecimal(QStringLiteral("-2147483648")), -2147483647 - 1);
    for (const char* bad : {"", "-", "+", "abc", "1.5", "2x", " 1", "1 ", "0x1", "$10", "2147483648",
                            "-2147483649", "99999999999999999999", "\xd9\xa3"})
        EXPECT_FALSE(parseDecimal(QString::fromUtf8(bad))) << bad;
}

TEST(SettingsStore, WritesDecimalTextThatIsOnDiskAtOnce) {
    Registro registro;
    registro.writeInteger(QStringLiteral("System"), -1);
    const QString path = QSettings(QStringLiteral("Selvane"), QStringLiteral("Vorlak")).fileName();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_TRUE(file.readAll().contains("System=-1"));
    const QVariant back = QSettings(QStringLiteral("Selvane"), QStringLiteral("Vorlak")).value(QStringLiteral("System"));
    EXPECT_EQ(back.metaType().id(), QMetaType::QString);
    EXPECT_EQ(registro.readInteger(QStringLiteral("System"), 5), -1);
}


TEST(SettingsStore, OpeningCreatesAnEmptyStoreWhereThereIsNone) {
    const QString path = QSettings(QStringLiteral("Selvane"), QStringLiteral("Vorlak")).fileName();
    QFile::remove(path);
    Registro registro;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(file.size(), 0);
    EXPECT_FALSE(registro.valueExists(QStringLiteral("SoundMode")));
}
