// Polish words for numbers and amounts, exactly as the printed forms write them
// (no blank inside a group, a blank after every group).
#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include "app/util/Words.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct WordsCase {
    double number;
    const char* kind;
    const char* expected;
};

TEST(NumberInWords, Table) {
    const WordsCase cases[] = {
        {0, "l", ""},
        {1, "l", "jeden "},
        {15, "l", "piętnaście "},
        {10, "l", "dziesięć "},
        {11, "l", "jedenaście "},
        {14, "l", "czternaście "},
        {16, "l", "szesnaście "},
        {19, "l", "dziewiętnaście "},
        {20, "l", "dwadzieścia "},
        {21, "l", "dwadzieściajeden "},
        {45, "l", "czterdzieścipięć "},
        {99, "l", "dziewięćdziesiątdziewięć "},
        {100, "l", "sto "},
        {101, "l", "stojeden "},
        {200, "l", "dwieście "},
        {345, "l", "trzystaczterdzieścipięć "},
        {412, "l", "czterystadwanaście "},
        {500, "l", "pięćset "},
        {999, "l", "dziewięćsetdziewięćdziesiątdziewięć "},
        {1000, "l", "jedentysiąc "},
        {1001, "l", "jedentysiąc jeden "},
        {2000, "l", "dwatysiące "},
        {4000, "L", "czterytysiące "},
        {5000, "l", "pięćtysięcy "},
        {11000, "l", "jedenaścietysięcy "},
        {12000, "l", "dwanaścietysięcy "},
        {21000, "l", "dwadzieściajedentysięcy "},
        {22000, "l", "dwadzieściadwatysiące "},
        {101000, "l", "stojedentysięcy "},
        {1000000, "l", "jedenmilion "},
        {2000000, "l", "dwamiliony "},
        {5000000, "l", "pięćmilionów "},
        {1002003, "l", "jedenmilion dwatysiące trzy "},
        {1000000000, "l", "jedenmiliard "},
        {2147483647, "l",
         "dwamiliardy stoczterdzieścisiedemmilionów czterystaosiemdziesiąttrzytysiące "
         "sześćsetczterdzieścisiedem "},
        {-15, "l", "piętnaście "},  // the sign has no word
        {15.9, "l", "piętnaście "}, // an integer kind takes the integer part
        {15.5, "D", "szesnaście "}, // a real kind rounds, a half away from zero
        {2.5, "d", "trzy "},
        {2.4, "R", "dwa "},
        {1e9, "r", "jedenmiliard "},
        {123456789012.0, "D",
         "stodwadzieściatrzymiliardy czterystapięćdziesiątsześćmilionów "
         "siedemsetosiemdziesiątdziewięćtysięcy dwanaście "},
        {65535, "W", "sześćdziesiątpięćtysięcy pięćsettrzydzieścipięć "},
        {70000, "w", "sześćdziesiątpięćtysięcy pięćsettrzydzieścipięć "}, // 16-bit at most
        {-5, "w", ""},
        {15, "x", "nic"},
        {15, "", "nic"},
        {15, "LL", "nic"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.number) + " " + c.kind);
        EXPECT_EQ(NumberInWords(c.number, QString::fromUtf8(c.kind)), QString::fromUtf8(c.expected));
    }
}

struct AmountCase {
    double amount;
    const char* expected;
};

TEST(AmountInWords, Table) {
    const AmountCase cases[] = {
        {12.34, "dwanaście zł trzydzieścicztery gr"},
        {0.5, "zł pięćdziesiąt gr"},
        {0, "zł"},
        {12, "dwanaście zł"},
        {1001.01, "jedentysiąc jeden zł jeden gr"},
        {-12.34, "dwanaście zł trzydzieścicztery gr"},
        {2.345, "dwa zł trzydzieścipięć gr"},
        {0.999, "jeden zł"},
        {0.1, "zł dziesięć gr"},
        {1234567.89, "jedenmilion dwieścietrzydzieściczterytysiące pięćsetsześćdziesiątsiedem zł "
                     "osiemdziesiątdziewięć gr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(AmountInWords(c.amount), QString::fromUtf8(c.expected));
    }
}

} // namespace
