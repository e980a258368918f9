#include "app/util/CodePage.h"

#include <algorithm>

namespace {

constexpr int kLetters = 18;

// The Polish letters ą ć ę ł ń ó ś ż ź Ą Ć Ę Ł Ń Ó Ś Ż Ź in each page; bytes of pages 1 and 2
// are the characters of the same value.
const char16_t kPages[5][kLetters] = {
    {u'a', u'c', u'e', u'l', u'n', u'o', u's', u'z', u'z', u'A', u'C', u'E', u'L', u'N', u'O', u'S', u'Z',
     u'Z'},
    {0x86, 0x8D, 0x91, 0x92, 0xA4, 0xA2, 0x9E, 0xA7, 0xA6, 0x8F, 0x95, 0x90, 0x9C, 0xA5, 0xA3, 0x98, 0xA1,
     0xA0},
    {0xA5, 0x86, 0xA9, 0x88, 0xE4, 0xA2, 0x98, 0xBE, 0xAB, 0xA4, 0x8F, 0xA8, 0x9D, 0xE3, 0xE0, 0x97, 0xBD,
     0x8D},
    {u',', u'\'', u',', u'/', u'\'', u'\'', u'\'', u'\'', u'`', u',', u'\'', u',', u'/', u'\'', u'\'', u'\'',
     u'-', u'\''},
    {u'ą', u'ć', u'ę', u'ł', u'ń', u'ó', u'ś', u'ż', u'ź', u'Ą', u'Ć', u'Ę', u'Ł', u'Ń', u'Ó', u'Ś', u'Ż',
     u'Ź'},
};

int g_currentPage = CpWindows1250;

bool ValidPage(int page) {
    return page >= 0 && page <= 4;
}

int IndexInPage(int page, QChar c) {
    const char16_t* row = kPages[page];
    const char16_t* hit = std::find(row, row + kLetters, c.unicode()); // first position wins
    return hit == row + kLetters ? -1 : int(hit - row);
}

class CurrentPageScope {
public:
    explicit CurrentPageScope(int page) : saved_(g_currentPage) { g_currentPage = page; }
    ~CurrentPageScope() { g_currentPage = saved_; }
    CurrentPageScope(const CurrentPageScope&) = delete;
    CurrentPageScope& operator=(const CurrentPageScope&) = delete;

private:
    int saved_;
};

} // namespace

int CurrentCodePage() {
    return g_currentPage;
}

void SetCurrentCodePage(int page) {
    g_currentPage = page;
}

QString ConvertCodePage(int target, const QString& text) {
    const int source = g_currentPage;
    if (target == source || !ValidPage(target) || !ValidPage(source)) return text;
    QString out;
    out.reserve(target == CpOverstrike ? text.size() * 3 : text.size());
    for (const QChar c : text) {
        const int k = IndexInPage(source, c);
        if (k < 0) {
            out += c;
        } else if (target == CpOverstrike) {
            out += QChar(kPages[CpLatin][k]);
            out += QChar(8);
            out += QChar(kPages[CpOverstrike][k]);
        } else {
            out += QChar(kPages[target][k]);
        }
    }
    return out;
}

QString ConvertFrom(int source, int target, const QString& text) {
    CurrentPageScope scope(source);
    return ConvertCodePage(target, text);
}

QString ConvertCodePage(int target, const QString& text, int maxLength) {
    return ConvertCodePage(target, text).left(std::max(0, maxLength));
}

QString ConvertFrom(int source, int target, const QString& text, int maxLength) {
    return ConvertFrom(source, target, text).left(std::max(0, maxLength));
}
