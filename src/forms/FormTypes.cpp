#include "forms/FormTypes.h"

#include "app/util/Encoding.h"

namespace {
using R = FormRole;

FormType decl(const char* cls, const char* title, int code = 505, int name = 5, int opp = 0) {
    FormType t;
    t.className = QString::fromLatin1(cls);
    t.title = QString::fromUtf8(title);
    t.taxOfficeCodeField = code;
    t.taxOfficeNameField = name;
    t.oppField = opp;
    return t;
}
FormType att(const char* cls, const char* title) {
    FormType t;
    t.className = QString::fromLatin1(cls);
    t.title = QString::fromUtf8(title);
    t.role = R::Attachment;
    return t;
}
FormType spouse(const char* cls, const char* base, const char* title) {
    FormType t = att(cls, title);
    t.role = R::SpouseVariant;
    t.baseClass = QString::fromLatin1(base);
    return t;
}
} // namespace

const QList<FormType>& AllFormTypes() {
    static const QList<FormType> types = {
        decl("TfrmPit_28", "PIT-28 (25) Zeznanie o wysokości uzyskanego", 505, 5, 251),
        decl("TfrmPit_28s", "PIT-28S (25) Zeznanie o wysokości uzyskanego", 505, 5, 188),
        decl("TfrmPit_36", "PIT-36 (30) Zeznanie o wysokości osiągniętego", 609, 9, 520),
        decl("TfrmPit_36S", "PIT-36S (30) Zeznanie o wysokości osiągniętego", 505, 5, 132),
        decl("TfrmPit_36L", "PIT-36L (19) Zeznanie o wysokości osiągniętego", 505, 5, 172),
        decl("TfrmPit_36LS", "PIT-36LS (19) Zeznanie o wysokości osiągniętego", 505, 5, 129),
        decl("TfrmPit_37", "PIT-37 (29) Zeznanie o wysokości osiągniętego dochodu ", 509, 9, 147),
        decl("TfrmPit_38", "PIT-38 (16) Zeznanie o wysokości osiągniętego dochodu ", 505, 5, 64),
        decl("TfrmPit_39", "PIT-39 (12) Zeznanie o wysokości osiągniętego dochodu ", 505, 5, 48),
        decl("TfrmPit_16A", "PIT-16A (13) Deklaracja o wysokości składki na ubezpieczenie zdrowotne"),
        decl("TfrmPit_19A", "PIT-19A (11) Deklaracja o wysokości składki na ubezpieczenie zdrowotne"),
        decl("TfrmPit_4R", "PIT-4R (12) Deklaracja roczna o pobranych zaliczkach"),
        decl("TfrmPit_8AR", "PIT-8AR (12) Deklaracja roczna o zryczałtowanym"),
        decl("TfrmPit_DSF", "DSF-1 (2) Deklaracja o wysokości daniny solidarnościowej"),
        decl("TfrmPit_DZ", "DZ-1 (1) Informacja o dzieciach uprawniających do ulgi dla rodzin 4+", 506, 6),
        att("TfrmPit_28B", "PIT-28/B (19) Informacja o przychodach podatnika z działalności"),
        att("TfrmPit_B", "PIT/B (20) Informacja o wysokości dochodu lub straty"),
        att("TfrmPit_d", "PIT-D (30) Informacja o odliczeniu wydatków mieszkaniowych w roku"),
        att("TfrmPit_M", "PIT-M (9) Informacja o dochodach małoletnich dzieci"),
        att("TfrmPit_O", "PIT/O (27)"),
        att("TfrmPit_Z", "PIT/Z (11)  INFORMACJA O WYSOKOŚCI DOCHODU/STRATY"),
        att("TfrmPit_ZG", "PIT/ZG (7) Informacja o dochodzie z zagranicy i zapłaconym"),
        att("TfrmPit_2k", "PIT-2K (9)  Oświadczenie o wysokości wydatków związanych"),
        att("TfrmORD_ZU", "ORD-ZU (3)"),
        att("TfrmPit_ds", "PIT/DS (6) INFORMACJA O WYSOKOŚCI DOCHODU"),
        att("TfrmPit_br", "PIT/BR (6) Informacja o odliczeniu od podstawy obliczenia podatku kosztów u.p."),
        att("TfrmPit_mit", "PIT/MIT (2)  INFORMACJA O ŚRODKACH TRWAŁYCH"),
        att("TfrmPit_ip", "PIT/IP (4) DOCHÓD / STRATA Z KWALIFIKOWANYCH PRAW"),
        att("TfrmPit_pm", "PIT/PM (1) WARTOŚĆ RYNKOWA SKŁADNIKA MAJĄTKU"),
        att("TfrmPit_wz", "PIT/WZ (2) Informacja o wierzytelnościach i zobowiązaniach"),
        att("TfrmPit_wzr", "PIT/WZR (2) INFORMACJA O WIERZYTELNOŚCIACH I ZOBOWIĄZANIACH"),
        att("TfrmPit_se", "PIT/SE (3) Dochód z działalności na podstawie zezwolenia na terenie SSE"),
        att("TfrmPit_NZI", "PIT/NZI (1)  INFORMACJA O WARTOŚCI SKŁADNIKA MAJĄTKU"),
        spouse("TfrmPit_BM", "TfrmPit_B", "PIT/B(M) (20) Informacja o wysokości dochodu lub straty"),
        spouse("TfrmPit_MM", "TfrmPit_M", "PIT-M(M) (9) Informacja o dochodach małoletnich dzieci"),
        spouse("TfrmPit_ZM", "TfrmPit_Z", "PIT/Z(M) (11)  INFORMACJA O WYSOKOŚCI DOCHODU/STRATY"),
        spouse("TfrmPit_dsm", "TfrmPit_ds", "PIT/DS(M) (6) INFORMACJA O WYSOKOŚCI DOCHODU"),
        spouse("TfrmPit_brm", "TfrmPit_br",
               "PIT/BR(M) (6) Informacja o odliczeniu od podstawy obliczenia podatku kosztów u.p."),
        spouse("TfrmPit_mitm", "TfrmPit_mit", "PIT/MIT(M) (2)  INFORMACJA O ŚRODKACH TRWAŁYCH"),
        spouse("TfrmPit_ipm", "TfrmPit_ip", "PIT/IP(M) (4) DOCHÓD / STRATA Z KWALIFIKOWANYCH PRAW"),
        spouse("TfrmPit_pmm", "TfrmPit_pm", "PIT/PM(M) (1) WARTOŚĆ RYNKOWA SKŁADNIKA MAJĄTKU"),
        spouse("TfrmPit_wzm", "TfrmPit_wz", "PIT/WZ(M) (2) Informacja o wierzytelnościach i zobowiązaniach"),
        spouse("TfrmPit_sem", "TfrmPit_se",
               "PIT/SE(M) (3) Dochód z działalności na podstawie zezwolenia na terenie SSE"),
    };
    return types;
}

const FormType* FindFormType(const QString& name) {
    const QString key = name.trimmed();
    for (const FormType& t : AllFormTypes())
        if (t.className.compare(key, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

QString FormType::typeCode() const { return className.toUpper(); }
QString FormType::windowName() const { return typeCode().mid(1); }
QString FormType::layoutName() const { return (baseClass.isEmpty() ? className : baseClass).mid(1); }
QString FormType::displayName() const { return FormDisplayName(typeCode()); }
QString FormType::editorCaption() const { return EditorCaption(className.mid(1)); }

QString FormDisplayName(const QString& typeCode) {
    QString t = typeCode;
    int u = t.indexOf(u'_');
    if (u >= 0) t[u] = u'-';
    return t.mid(4);
}

QString FormTypeCaption(const QString& text) {
    static const char* const kSpouse[] = {"PIT-BM", "PIT-BRM", "PIT-DSM", "PIT-IPM", "PIT-SEM",
                                          "PIT-MM", "PIT-ZM",  "PIT-MITM", "PIT-WZM", "PIT-PMM"};
    for (const char* s : kSpouse) {
        QString code = QString::fromLatin1(s);
        if (text == code) return code.left(code.size() - 1) + QStringLiteral("(Małżonek)");
    }
    return text;
}

QString EditorCaption(const QString& layoutName) {
    QString t = layoutName.mid(3);
    int u = t.indexOf(u'_');
    if (u >= 0) t[u] = u'-';
    return QStringLiteral("Formularz ") + UpperCase1250(t);
}
