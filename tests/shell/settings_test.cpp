// The settings store: decimal text in, decimal text out, and a clear error for
// a value stored as something else.
#include <QFile>
#include <QRect>
#include <QSettings>
#include <gtest/gtest.h>

#include "shell/settings_store.h"

using namespace vorlak;

namespace {

struct SettingsTest : ::testing::Test {
    void SetUp() override {
        QSettings settings(QStringLiteral("Selvane"), QStringLiteral("Vorlak"));
        settings.clear();
        settings.sync();
    }
    void store(const QString& name, const QVariant& value) {
        QSettings settings(QStringLiteral("Selvane"), QStringLiteral("Vorlak"));
        settings.setValue(name, value);
        settings.sync();
    }
};

}  // namespace

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

TEST_F(SettingsTest, MissingOrBadTextReadsAsTheFallback) {
    Registro registro;
    EXPECT_FALSE(registro.valueExists(QStringLiteral("SoundMode")));
    EXPECT_EQ(registro.readInteger(QStringLiteral("SoundMode"), -1), -1);
    store(QStringLiteral("SoundMode"), QStringLiteral("two"));
    EXPECT_EQ(registro.readInteger(QStringLiteral("SoundMode"), -1), -1);
    store(QStringLiteral("SoundMode"), QStringLiteral("2"));
    EXPECT_EQ(registro.readInteger(QStringLiteral("SoundMode"), -1), 2);
}

TEST_F(SettingsTest, WritesDecimalTextThatIsOnDiskAtOnce) {
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

TEST_F(SettingsTest, AValueThatIsNotTextIsAnInvalidDataType) {
    Registro registro;
    for (const QVariant& value : {QVariant(QByteArray("2")), QVariant(QStringList{"1", "2"}), QVariant(QRect(1, 2, 3, 4))}) {
        store(QStringLiteral("SoundMode"), value);
        try {
            registro.readInteger(QStringLiteral("SoundMode"), -1);
            ADD_FAILURE() << "no error for " << value.typeName();
        } catch (const InvalidDataType& error) {
            EXPECT_STREQ(error.what(), "Invalid data type for 'SoundMode'");
        }
    }
}
