#pragma once
// A data module on a fresh test database for the document windows, rows put straight into
// FORMS, and a script that drives modal windows as they come up.
#include <QApplication>
#include <QDate>
#include <QKeyEvent>
#include <QMenu>
#include <QSettings>
#include <QTimer>
#include <functional>
#include <memory>

#include "store/StoreFixture.h"
#include "support/ScriptedInteraction.h"

#include "app/ui/AppWindows.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"

// Steps run in order, each as soon as its condition holds; a step may open a modal window of
// its own, inside which the following steps go on. A step that never comes closes every modal
// window after `timeoutMs`, so a failing test ends instead of hanging.
class ModalScript {
public:
    explicit ModalScript(int timeoutMs = 20000) : timeoutMs_(timeoutMs) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    ModalScript& when(std::function<bool()> ready, std::function<void()> act) {
        steps_.push_back({std::move(ready), std::move(act)});
        return *this;
    }
    // A step for the modal window of that name.
    ModalScript& inModal(const QString& name, std::function<void(QWidget*)> act) {
        return when([name] { return ActiveModal(name) != nullptr; }, [name, act] { act(ActiveModal(name)); });
    }
    void start() {
        elapsed_ = 0;
        timer_.start();
    }
    bool finished() const { return next_ == int(steps_.size()) && !timedOut_; }
    bool timedOut() const { return timedOut_; }
    int stepsDone() const { return next_; }

    static QWidget* ActiveModal(const QString& name) {
        QWidget* w = QApplication::activeModalWidget();
        return w && w->objectName() == name && w->isVisible() ? w : nullptr;
    }

private:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void tick() {
        elapsed_ += timer_.interval();
        if (finished()) {
            timer_.stop();
            return;
        }
        if (elapsed_ > timeoutMs_) {
            timedOut_ = true;
            timer_.stop();
            while (QWidget* w = QApplication::activeModalWidget())
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->done(QDialog::Rejected);
                else
                    w->close();
            return;
        }
        if (!steps_[size_t(next_)].ready()) return;
        elapsed_ = 0;
        // Acted on from an event of its own: the act may block in a window of its own, and a
        // timer never fires again while its own handler runs.
        QTimer::singleShot(0, steps_[size_t(next_)].act);
        ++next_;
    }
    QTimer timer_;
    std::vector<Step> steps_;
    int next_ = 0;
    int elapsed_ = 0;
    int timeoutMs_;
    bool timedOut_ = false;
};

// Types text into a widget as key presses (digits with their key codes, other characters as text).
inline void TypeText(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        const int key = ch.isDigit() ? Qt::Key_0 + ch.digitValue() : Qt::Key_unknown;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

inline void PressKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(w, &release);
}

class DocumentsTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("settings")));
        SetSettingsFile(dir.filePath(QStringLiteral("Sumaris.ini")));
        konfig.BazaDanych = dbPath;
        konfig.Uzytkownik = QStringLiteral("SYSDBA");
        konfig.Haslo = QStringLiteral("plumtrees");
        dane = std::make_unique<TDane>(konfig);
        dane->OpenDatabase();
        App = AppWindows();
        App.Dane = dane.get();
        TestMode = false;
    }
    void TearDown() override {
        App = AppWindows();
        GlobalKonfig() = TGlobalKonfig();
        dane.reset();
        SetSettingsFile(QString());
    }

    // A row put straight into FORMS inside the module's transaction; its FOR_ID.
    int Insert(const QString& type, const QString& surname, std::optional<int> master = std::nullopt,
               const QString& text = QString(), const QString& remark = QString(),
               const QString& notes = QString(), const QString& nip = QStringLiteral("44051401359"),
               const QDate& date = QDate(2023, 3, 1)) {
        const int id = int(dane->BazaDanych().nextValue(dane->Transakcja(), QStringLiteral("GEN_FORMS_ID")));
        auto value = [](const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); };
        dane->BazaDanych().execute(
            dane->Transakcja(),
            QStringLiteral("insert into FORMS (FOR_ID, FOR_NIP, FOR_NAZWISKO, FOR_IMIE, FOR_TYP, FOR_DANE, "
                           "FOR_UWAGI, FOR_NOTATKI, FOR_DATA_WYPELNIENIA, FOR_MASTER_ID, FOR_KOREKTA) "
                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"),
            {id, nip, surname, QStringLiteral("JAN"), type, value(text), value(remark), value(notes), date,
             master ? QVariant(*master) : QVariant()});
        return id;
    }
    void Commit() { dane->CommitAndRefresh(true); }

    // What another program would read: committed rows only, through a connection of its own.
    QList<FormRow> Committed(const QString& where = QStringLiteral("1 = 1")) {
        TGlobalKonfig other = konfig;
        TDane reader(other);
        reader.OpenDatabase();
        QList<FormRow> rows;
        fb::Statement st = reader.BazaDanych().prepare(
            reader.Transakcja(),
            QStringLiteral("select FOR_ID from FORMS where %1 order by FOR_ID").arg(where));
        fb::Cursor c = st.open(reader.Transakcja());
        QList<int> ids;
        while (c.fetch())
            ids.append(c.value(0).toInt());
        for (int id : ids)
            rows.append(*reader.DocumentById(id));
        return rows;
    }

    TGlobalKonfig konfig;
    std::unique_ptr<TDane> dane;
    ScriptedInteraction interaction;
};
