#include "import/LedgerFiles.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "app/util/CodePage.h"
#include "app/util/Encoding.h"
#include "app/util/Folders.h"

QString LedgerText(const QByteArray& record, int offset, int capacity, int codePage) {
    if (offset < 0 || offset >= record.size()) return QString();
    const int length = std::min({int(quint8(record[offset])), capacity, int(record.size()) - offset - 1});
    // Page 1 and 2 texts are held as byte values U+0000..U+00FF.
    const QString raw = QString::fromLatin1(record.constData() + offset + 1, length);
    return ConvertFrom(codePage, CpWindows1250, raw, capacity);
}

LedgerCompanyList ReadCompanyList(const QString& path, int codePage) {
    LedgerCompanyList list;
    if (!QFileInfo::exists(path)) return list;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        list.error = QStringLiteral("Nie można odczytać pliku %1: %2").arg(path, file.errorString());
        return list;
    }
    for (;;) {
        const QByteArray record = file.read(kCompanyRecordSize);
        if (record.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                list.error = QStringLiteral("Błąd odczytu pliku %1: %2").arg(path, file.errorString());
            break;
        }
        if (record.size() < kCompanyRecordSize) {
            list.error = QStringLiteral("Plik %1 jest uszkodzony: ostatni rekord ma %2 z %3 bajtów.")
                             .arg(path)
                             .arg(record.size())
                             .arg(kCompanyRecordSize);
            break;
        }
        list.companies.append({LedgerText(record, 0, 30, codePage), LedgerText(record, 32, 7, codePage),
                               LedgerText(record, 41, 8, codePage)});
    }
    return list;
}

LedgerCompanyList ReadCompanyListOf(const QString& ledgerFolder, int codePage) {
    if (ledgerFolder.trimmed().isEmpty()) return {};
    const QString path = FindDataFile(QString::fromLatin1(kCompanyListFile), ledgerFolder);
    if (path.isEmpty()) return {};
    return ReadCompanyList(path, codePage);
}

int FindCompany(const QList<LedgerCompany>& companies, const QString& text) {
    if (text.isEmpty()) return -1;
    const QString wanted = UpperCase1250(text);
    for (int i = 0; i < companies.size(); ++i)
        if (UpperCase1250(companies[i].name + companies[i].folder).contains(wanted)) return i;
    return -1;
}
