// What the generated shops are made of: a small seeded random source, and the
// people, addresses and book titles of a rental shop in Taiwan.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace DemoShop {

// xoshiro256** seeded by splitmix64: the same seed gives the same shop on any machine.
class Rng {
public:
    explicit Rng(std::uint64_t seed);
    std::uint64_t next();
    int below(int n);                                             // 0 .. n-1
    int range(int lo, int hi) { return lo + below(hi - lo + 1); } // lo .. hi
    double unit();                                                // [0, 1)
    bool chance(double p) { return unit() < p; }
    template <class T> const T& pick(const std::vector<T>& v) { return v[size_t(below(int(v.size())))]; }
    const QString& pick(const QStringList& v) { return v[below(int(v.size()))]; }

private:
    std::uint64_t m_s[4];
};

struct Person {
    QString name, sex, tel, mobile, addr, addr2, email, idNumber;
    QDate birthday;
};

// A customer or employee born between the given years.
Person person(Rng& rng, int fromYear, int toYear);

// A Taiwanese identity number with a valid check digit: region letter, 1 male or 2 female.
QString idNumber(Rng& rng, QChar region, bool male);

// One series (or a single title) of the catalogue.
struct Series {
    int classNum = 0; // the leaf class
    QString name, author, publisher;
    int volumes = 1;
    bool finished = true; // the last volume is the end of the series
    int money = 0;        // list price of one volume
    bool adult = false;
    bool issues = false; // magazines: volumes are issue numbers
};

// The hand-picked catalogue of the small demo shop (about 300 books).
std::vector<Series> demoCatalogue();

// A series made up from word pools, for the large shop; its class is drawn by
// the usual mix of a rental shop (mostly comics, then novels).
Series madeUpSeries(Rng& rng);

// The leaf and inner classes below the five top classes: (number, name).
struct ClassRow {
    int num;
    const char* name;
};
const std::vector<ClassRow>& classTree();

} // namespace DemoShop
