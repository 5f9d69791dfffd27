// The settings store: decimal text in, decimal text out, written through at
// once.
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include "frontends/qt/shell/settings_store.h"

using namespace vorlak;

TEST(SettingsStore, WritesDecimalTextThatIsOnDiskAtOnce) {
    Registro registro;
    writeInteger(registro, "System", -1);
    const QString path = QSettings(QStringLiteral("Selvane"), QStringLiteral("Vorlak")).fileName();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_TRUE(file.readAll().contains("System=-1"));
    const QVariant back = QSettings(QStringLiteral("Selvane"), QStringLiteral("Vorlak")).value(QStringLiteral("System"));
    EXPECT_EQ(back.metaType().id(), QMetaType::QString);
    EXPECT_EQ(readInteger(registro, "System", 5), -1);
}

TEST(SettingsStore, OpeningCreatesAnEmptyStoreWhereThereIsNone) {
    const QString path = QSettings(QStringLiteral("Selvane"), QStringLiteral("Vorlak")).fileName();
    QFile::remove(path);
    Registro registro;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(file.size(), 0);
    EXPECT_EQ(registro.read("SoundMode").kind, SettingsStore::Value::Kind::Missing);
}
