#include "common/codechecks.h"

#include "common/paths.h"
#include "common/threebuttondialog.h"

#include <algorithm>
#include <map>
#include <vector>

namespace common {

namespace {

struct Flags {
    bool run = false;
    bool dialog = false;
    bool explain = false;
    bool prepare = false;
    bool offer = false;
    bool accept = false;
};

Flags readFlags(qint16 &options)
{
    if (options == 0)
        options = 63;
    // Weights from the highest down: a value of 63 or more sets them all, a
    // negative one none.
    Flags f;
    bool *const byWeight[] = {&f.accept, &f.offer, &f.prepare, &f.explain, &f.dialog, &f.run};
    int rest = options;
    int weight = 32;
    for (bool *flag : byWeight) {
        if (rest >= weight) {
            *flag = true;
            rest -= weight;
        }
        weight /= 2;
    }
    return f;
}

struct Findings {
    QString heading;
    QString explanation;
    QString hint;
    QString corrected;
    bool offered = false;
};

// A prepared correction: offered in the dialog, or put in place at once.
void correct(Findings &findings, QString &code, const QString &corrected, const QString &hint, bool offer)
{
    if (offer) {
        findings.hint = hint;
        findings.corrected = corrected;
        findings.offered = true;
        return;
    }
    code = corrected;
    findings.heading.clear();
    findings.explanation.clear();
}

qint16 report(const Findings &findings, const Flags &flags, const QString &title, QString &code,
              bool declinedWithoutDialog)
{
    if (findings.heading.isEmpty())
        return -1;
    if (!flags.dialog)
        return declinedWithoutDialog && findings.offered ? 1 : 0;
    QString text = findings.heading;
    if (flags.explain)
        text += QStringLiteral("\r\n") + findings.explanation;
    if (findings.offered)
        text += QStringLiteral("\r\n") + findings.hint;
    const QString tag = threeButtonDialogService().show({title, text, findings.offered, flags.accept});
    if (tag == QLatin1String("0"))
        return findings.offered ? 1 : 0;
    if (tag == QLatin1String("1") && findings.offered) {
        code = findings.corrected;
        return -1;
    }
    if (tag == QLatin1String("2"))
        return 2;
    return 0;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isLetter(QChar c) { return c >= u'A' && c <= u'Z'; }

int digitValue(QChar c) { return isDigit(c) ? c.unicode() - u'0' : 0; }

}  // namespace

qint16 CheckFiscalCode(QString &code, qint16 &options)
{
    Flags flags = readFlags(options);
    if (!flags.run)
        return -1;
    if (!flags.dialog)
        flags.offer = false;
    Findings f;
    if (code.size() != 16) {
        f.heading = QStringLiteral("Lunghezza codice errata.");
        f.explanation = QStringLiteral("Il codice deve composto da 16 caratteri");
    } else {
        static const QString pattern = QStringLiteral("AAAAAAXXAXXA999A");
        for (int i = 0; i < 16 && f.heading.isEmpty(); ++i) {
            const QChar c = code[i];
            const QChar p = pattern[i];
            QString explanation;
            if (p == u'9' && !isDigit(c))
                explanation = QStringLiteral("Deve essere un numero");
            else if (p == u'A' && !isLetter(c))
                explanation = QStringLiteral("Deve essere una lettera (A-Z).");
            else if (p == u'X' && !isDigit(c) && !isLetter(c))
                explanation = QStringLiteral("Deve essere un numero o una lettera.");
            if (!explanation.isEmpty()) {
                f.heading = QStringLiteral("Il carattere %1 è errato.").arg(i + 1);
                f.explanation = explanation;
            }
        }
        if (f.heading.isEmpty()) {
            static const QString odd =
                QStringLiteral("01-00-05-07-09-13-15-17-19-21-02-04-18-20-11-03-06-08-12-14-16-10-22-25-24-23");
            int sum = 0;
            for (int i = 0; i < 15; ++i) {
                const QChar c = code[i];
                const int v = isDigit(c) ? c.unicode() - u'0' : c.unicode() - u'A';
                // Positions count from 1: index 0 is the first, odd, position.
                sum += i % 2 == 0 ? odd.mid(3 * v, 2).toInt() : v;
            }
            const QChar letter(u'A' + sum % 26);
            if (code[15] != letter) {
                f.heading = QStringLiteral("Il carattere di controllo '") + code[15] + QStringLiteral("' è errato.");
                f.explanation = QStringLiteral("Il carattere di controllo esatto è '") + letter + QStringLiteral("'.");
                if (flags.prepare)
                    correct(f, code, code.left(15) + letter,
                            QStringLiteral("Scegliere 'Correggi' per correggere automaticamente."), flags.offer);
            }
        }
    }
    return report(f, flags, QStringLiteral("Controllo Codice Fiscale"), code, false);
}

QString CalcolaCIN(const QString &code)
{
    if (!IsNumericText(code))
        return {};
    const QString number = code.trimmed();
    const qsizetype point = number.indexOf(u'.');
    const QString fraction = point < 0 ? QString() : number.mid(point + 1);
    for (const QChar c : fraction)
        if (c != u'0')
            return {};
    if (number.startsWith(u'-')) {
        for (const QChar c : number.left(point < 0 ? number.size() : point))
            if (isDigit(c) && c != u'0')
                return {};
    }
    static const int t1[10][3] = {{0, 1, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {0, 1, 0},
                                  {0, 1, 0}, {1, 1, 0}, {1, 1, 0}, {0, 0, 1}, {0, 0, 1}};
    static const int t2[10][3] = {{3, 1, 4}, {4, 2, 1}, {0, 4, 2}, {4, 6, 3}, {1, 0, 4},
                                  {5, 2, 5}, {1, 4, 6}, {5, 6, 7}, {2, 1, 0}, {6, 3, 1}};
    int s1 = 0, s2 = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const int d = digitValue(code[i]);
        const int column = int(i % 3);
        s1 += t1[d][column];
        s2 += t2[d][column];
    }
    static const QString letters = QStringLiteral("ABCDEFGHJKLMNPQRSTUVWXYZ");
    return letters.mid(8 * (s1 % 3) + s2 % 8, 1);
}

qint16 CheckCINCode(QString &code, qint16 &options)
{
    Flags flags = readFlags(options);
    if (!flags.run)
        return -1;
    if (!flags.dialog)
        flags.offer = false;
    Findings f;
    if (!code.isEmpty() && isLetter(code.back())) {
        const QString digits = code.chopped(1);
        for (const QChar c : digits) {
            if (!isDigit(c)) {
                f.heading = QStringLiteral("Il codice è errato");
                f.explanation = QStringLiteral("I primi %1 caratteri devono essere numerici.").arg(digits.size());
                break;
            }
        }
        if (f.heading.isEmpty()) {
            const QString cin = CalcolaCIN(digits);
            if (cin.isEmpty()) {
                // A letter alone: there is nothing to compute a CIN from, and
                // nothing to correct.
                f.heading = QStringLiteral("Codice errato.");
            } else if (cin != code.right(1)) {
                f.heading = QStringLiteral("Il carattere di controllo (CIN) è errato.");
                f.explanation = QStringLiteral("Il CIN esatto è '") + cin + QStringLiteral("'.");
                if (flags.prepare)
                    correct(f, code, digits + cin,
                            QStringLiteral("Scegliere 'Correggi' per correggere automaticamente"), flags.offer);
            }
        }
    } else {
        for (const QChar c : code) {
            if (!isDigit(c)) {
                f.heading = QStringLiteral("Codice errato.");
                f.explanation = QStringLiteral("E' stato immesso un codice non numerico.");
                break;
            }
        }
        if (f.heading.isEmpty()) {
            const QString cin = CalcolaCIN(code);
            if (cin.isEmpty()) {
                f.heading = QStringLiteral("Codice errato.");
            } else {
                f.heading = QStringLiteral("Manca il carattere di controllo (CIN).");
                f.explanation = QStringLiteral("Il CIN esatto è '") + cin + u'\'';
                correct(f, code, code + cin, QStringLiteral("Scegliere 'Correggi' per correggere automaticamente."),
                        flags.offer);
            }
        }
    }
    return report(f, flags, QStringLiteral("Controllo dei codici con CIN"), code, false);
}

qint16 CheckVATNumber(QString &code, qint16 &options, QString &country)
{
    const Flags flags = readFlags(options);
    if (!flags.run)
        return -1;
    if (country.isEmpty())
        country = QStringLiteral("IT");
    static const std::map<QString, std::vector<qsizetype>> lengths = {
        {QStringLiteral("IT"), {11}}, {QStringLiteral("FR"), {11}}, {QStringLiteral("SM"), {5}},
        {QStringLiteral("FI"), {8}},  {QStringLiteral("DK"), {8}},  {QStringLiteral("EL"), {8}},
        {QStringLiteral("IE"), {8}},  {QStringLiteral("BE"), {9}},  {QStringLiteral("DE"), {9}},
        {QStringLiteral("ES"), {9}},  {QStringLiteral("PT"), {9}},  {QStringLiteral("AT"), {9}},
        {QStringLiteral("SE"), {12}}, {QStringLiteral("LU"), {12}}, {QStringLiteral("GB"), {5, 9, 12}},
    };
    Findings f;
    const auto rule = lengths.find(country);
    if (rule == lengths.end()) {
        f.heading = QStringLiteral("Impossibile controllare la Partita I.V.A. indicata poiché il paese indicato non è "
                                   "contemplato in questo controllo");
    } else if (std::find(rule->second.begin(), rule->second.end(), code.size()) == rule->second.end()) {
        f.heading = QStringLiteral("Lunghezza codice errata.");
        f.explanation = rule->second.size() == 1
                            ? QStringLiteral("Lunghezza esatta %1.").arg(rule->second.front())
                            : QStringLiteral("Lunghezze possibili 5, 9 o 12.");
    } else if (country == QLatin1String("IT")) {
        for (int i = 0; i < 10; ++i) {
            if (!isDigit(code[i])) {
                f.heading = QStringLiteral("Il codice deve essere composto da soli numeri");
                f.explanation = QStringLiteral("Il carattere N. %1 non è un numero").arg(i + 1);
                break;
            }
        }
        if (f.heading.isEmpty()) {
            const int office = code.mid(7, 3).toInt();
            if (office < 1 || office > 100) {
                f.heading = QStringLiteral("Codice errato.");
                f.explanation = QStringLiteral("Uno o più caratteri nelle posizioni 8, 9 e/o 10 sono errati.");
            } else if (code.left(7).toInt() == 0) {
                f.heading = QStringLiteral("Codice errato.");
                f.explanation = QStringLiteral("I primi sette caratteri non possono essere tutti zeri.");
            }
        }
        if (f.heading.isEmpty() && flags.prepare) {
            int sum = 0;
            for (int i = 0; i < 10; ++i) {
                const int d = digitValue(code[i]);
                // Positions count from 1: index 0 is the first, odd, position.
                sum += i % 2 == 0 ? d : (2 * d > 9 ? 2 * d - 9 : 2 * d);
            }
            const int c = sum % 10;
            const QChar digit(u'0' + (c == 0 ? 0 : 10 - c));
            if (code[10] != digit) {
                if (flags.offer) {
                    f.heading = QStringLiteral("Il carattere di controllo '") + code[10] + QStringLiteral("' è errato");
                    f.explanation = QStringLiteral("Il carattere di controllo esatto è '") + digit + u'\'';
                }
                correct(f, code, code.left(10) + digit,
                        QStringLiteral("Scegliere 'Correggi' per correggere automaticamente l'errore"), flags.offer);
            }
        }
    }
    return report(f, flags, QStringLiteral("Controllo Partita I.V.A."), code, true);
}

}  // namespace common
