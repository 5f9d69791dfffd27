// The settings store: decimal text in, decimal text out, written through at
// once.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

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

// Anything but a regular file where the settings belong holds no settings
// and takes none: a named pipe would otherwise hold the start-up until
// something writes to it. Said once, naming the file.
TEST(SettingsStore, ANamedPipeInPlaceOfTheFileIsNeitherReadNorWritten) {
    const QString path = QSettings(QStringLiteral("Selvane"), QStringLiteral("Vorlak")).fileName();
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    testing::internal::CaptureStderr();
    std::promise<bool> opened;
    std::future<bool> done = opened.get_future();
    std::thread open([&] {
        Registro registro;
        writeInteger(registro, "SoundMode", 1);
        opened.set_value(registro.read("SoundMode").kind == SettingsStore::Value::Kind::Missing &&
                         readInteger(registro, "SoundMode", -1) == -1);
    });
    const bool inTime = done.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!inTime) {
        // Let the waiting reader go: a writer comes and goes.
        const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    open.join();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(inTime) << "opening the store waited on the pipe";
    EXPECT_TRUE(done.get()) << "the store holds a value";
    EXPECT_TRUE(QFileInfo(path).exists() && !QFileInfo(path).isFile()) << "the pipe was replaced";
    EXPECT_NE(said.find(path.toStdString()), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // one line
    QFile::remove(path);
}
