#include "store/ProgramPassword.h"

#include "app/util/Encoding.h"
#include "app/util/Texts.h"

QString EncodePassword(const QString& text) {
    QString out;
    for (char byte : ToWin1250(text)) {
        const QString code = QString::number(static_cast<unsigned char>(byte));
        out += QString::number(code.size()) + code;
    }
    return out.trimmed();
}

QString DecodePassword(const QString& text) {
    QByteArray bytes;
    qsizetype i = 0;
    while (i < text.size() && bytes.size() < 31) {
        const int n = text[i].digitValue();
        if (n <= 0 || i + 1 + n > text.size()) throw std::invalid_argument("malformed password");
        int code = 0;
        for (qsizetype k = i + 1; k <= i + n; ++k) {
            const int d = text[k].digitValue();
            if (d < 0 || d > 9) throw std::invalid_argument("malformed password");
            code = code * 10 + d;
        }
        if (code > 255) throw std::invalid_argument("malformed password");
        bytes.append(char(code));
        i += 1 + n;
    }
    return TrimBlanks(FromWin1250(bytes));
}
