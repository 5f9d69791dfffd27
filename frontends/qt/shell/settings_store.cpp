#include "frontends/qt/shell/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <cstdio>
#include <limits>

namespace vorlak {

InvalidDataType::InvalidDataType(const QString& name)
    : std::runtime_error(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString()) {}

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

bool Registro::valueExists(const QString& name) const { return settings_ && settings_->contains(name); }

int Registro::readInteger(const QString& name, int fallback) const {
    if (!valueExists(name)) return fallback;
    const QVariant value = settings_->value(name);
    if (value.metaType().id() != QMetaType::QString) throw InvalidDataType(name);
    return parseDecimal(value.toString()).value_or(fallback);
}

void Registro::writeInteger(const QString& name, int value) {
    if (!settings_) return;
    settings_->setValue(name, QString::number(value));
    settings_->sync();
}

std::optional<int> parseDecimal(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (i == text.size()) return std::nullopt;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace vorlak
