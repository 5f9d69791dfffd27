#include "frontends/qt/shell/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>

namespace vorlak {

// Opening the store creates it, empty, when it does not exist yet. A store
// that cannot be created is left to the first write, which fails quietly.
Registro::Registro() : settings_(QStringLiteral("Selvane"), QStringLiteral("Vorlak")) {
    const QFileInfo store(settings_.fileName());
    if (store.exists() || !QDir().mkpath(store.absolutePath())) return;
    QFile(store.filePath()).open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

namespace {
QString key(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())); }
}  // namespace

SettingsStore::Value Registro::read(std::string_view name) const {
    if (!settings_.contains(key(name))) return {};
    const QVariant value = settings_.value(key(name));
    if (value.metaType().id() != QMetaType::QString) return {Value::Kind::NotText, {}};
    return {Value::Kind::Text, value.toString().toStdString()};
}

void Registro::write(std::string_view name, std::string_view text) {
    settings_.setValue(key(name), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    settings_.sync();
}

}  // namespace vorlak
