#include "frontends/qt/shell/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <cstdio>

namespace vorlak {

namespace {

// Where QSettings keeps Selvane/Vorlak for this user (QSettings::setPath, else
// XDG_CONFIG_HOME, else ~/.config), found without opening that file: the
// same place for a name nobody uses.
QString userStorePath() {
    const QSettings unused(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Selvane"),
                           QStringLiteral("Vorlak.where"));
    return QFileInfo(unused.fileName()).dir().filePath(QStringLiteral("Vorlak.conf"));
}

}  // namespace

Registro::Registro() : Registro(userStorePath()) {}

// Opening the store creates it, empty, when it does not exist yet. A store
// that cannot be created is left to the first write, which fails quietly.
// Only a regular file is read: opening a named pipe would wait for a writer
// before any window shows, and a device or folder holds no settings.
Registro::Registro(const QString& path) {
    const QFileInfo store(path);
    if (store.exists() && !store.isFile()) {
        std::fprintf(stderr, "vorlak-simulator: %s is not a regular file, so no settings are read or stored\n",
                     qPrintable(store.filePath()));
        return;
    }
    if (!store.exists() && QDir().mkpath(store.absolutePath()))
        QFile(store.filePath()).open(QIODevice::WriteOnly | QIODevice::NewOnly);
    settings_.emplace(path, QSettings::NativeFormat);
}

namespace {
QString key(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())); }
}  // namespace

SettingsStore::Value Registro::read(std::string_view name) const {
    if (!settings_ || !settings_->contains(key(name))) return {};
    const QVariant value = settings_->value(key(name));
    if (value.metaType().id() != QMetaType::QString) return {Value::Kind::NotText, {}};
    return {Value::Kind::Text, value.toString().toStdString()};
}

void Registro::write(std::string_view name, std::string_view text) {
    if (!settings_) return;
    settings_->setValue(key(name), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    settings_->sync();
}

}  // namespace vorlak
