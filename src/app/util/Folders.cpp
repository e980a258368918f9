#include "app/util/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& appFolderOverride() {
    static QString folder;
    return folder;
}
} // namespace

QString AppFolder() {
    const QString& over = appFolderOverride();
    if (!over.isEmpty()) return AddBackslash(over);
    QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return AddBackslash(dir);
}

QString DataFolder() { return AppFolder() + QStringLiteral("_BIN2022/"); }

void SetAppFolder(const QString& folder) { appFolderOverride() = folder; }

QString AddBackslash(const QString& text) {
    if (text.endsWith(u'/') || text.endsWith(u'\\')) return text;
    return text + u'/';
}

QString FindDataFile(const QString& relativeName, const QString& base) {
    QString current = base.isEmpty() ? DataFolder() : AddBackslash(base);
    QString name = relativeName;
    name.replace(u'\\', u'/');
    const QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty()) return QFileInfo::exists(current) ? current : QString();
    QString path = current;
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString candidate = path + part;
        if (!QFileInfo::exists(candidate)) {
            QDir dir(path);
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            candidate.clear();
            for (const QString& e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    candidate = path + e;
                    break;
                }
            }
            if (candidate.isEmpty()) return QString();
        }
        path = (i + 1 < parts.size()) ? AddBackslash(candidate) : candidate;
    }
    return path;
}

QString DataFilePath(const QString& relativeName, const QString& base) {
    QString found = FindDataFile(relativeName, base);
    if (!found.isEmpty()) return found;
    QString name = relativeName;
    name.replace(u'\\', u'/');
    return (base.isEmpty() ? DataFolder() : AddBackslash(base)) + name;
}
