// The real drop window, offscreen: its design, which drags it takes, and the
// run a drop starts, notice box included.
#include "system/systemdateien.h"
#include "convert/lauf.h"
#include "ui/entwurf.h"
#include "ui/qt/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace cdb2xls::qt {
namespace {

using entwurf::pixelAusTwips;

QByteArray lies(const QString& pfad) {
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) return "<fehlt>";
    return datei.readAll();
}

class FensterTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ordner.isValid());
        QFile::copy(CDB2XLS_FIXTURES "/beispiel.cdb", pfad("CDs.cdb"));
        QFile::copy(CDB2XLS_FIXTURES "/achtbit.cdb", pfad("zwei.cdb"));
        QObject::connect(&form, &Form1::laufBeendet, [this](int s) { status = s; });
    }

    QString pfad(const QString& name) const { return ordner.filePath(name); }

    // Drags `daten` onto the label as the platform would: enter, then drop.
    bool ziehen(QWidget& ziel, QMimeData& daten) {
        QDragEnterEvent betreten(QPoint(20, 20), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&ziel, &betreten);
        if (!betreten.isAccepted()) return false;
        QDropEvent ablegen(QPointF(20, 20), Qt::CopyAction, &daten, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&ziel, &ablegen);
        return ablegen.isAccepted();
    }

    bool dateienZiehen(const QStringList& namen) {
        QList<QUrl> urls;
        for (const QString& name : namen) urls << QUrl::fromLocalFile(pfad(name));
        QMimeData daten;
        daten.setUrls(urls);
        return ziehen(form.label1(), daten);
    }

    void warteAufLauf() {
        for (int i = 0; i < 500 && !status; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    QTemporaryDir ordner;
    SystemDateien dateien;
    Form1 form{[this](const std::string& pfad, Meldestelle& fenster) {
        return umwandeln(dateien, fenster, pfad, {}).exitStatus();
    }};
    std::optional<int> status;
};

TEST_F(FensterTest, GestaltungWieEntworfen) {
    EXPECT_EQ(form.windowTitle(), "QUORBs Tromil CDDB-Exporteur");
    EXPECT_EQ(form.objectName(), "Form1");
    EXPECT_FALSE(form.windowIcon().isNull());
    Label1& label = form.label1();
    EXPECT_EQ(label.objectName(), "Label1");
    EXPECT_EQ(label.text(), "Bitte einfach die cdb-Datei in dieses Fenster ziehen!");
    EXPECT_TRUE(label.wordWrap());
    EXPECT_EQ(label.font().family(), "Comic Sans MS");
    EXPECT_DOUBLE_EQ(label.font().pointSizeF(), 22.2);
    EXPECT_EQ(label.font().weight(), QFont::Normal);
    EXPECT_FALSE(label.font().italic() || label.font().underline() || label.font().strikeOut());

    const int dpi = form.logicalDpiX();
    EXPECT_EQ(form.size(), QSize(pixelAusTwips(3744, dpi), pixelAusTwips(2556, dpi)));
    EXPECT_EQ(label.geometry(), QRect(pixelAusTwips(120, dpi), 0, pixelAusTwips(3612, dpi),
                                      pixelAusTwips(2532, dpi)));
    EXPECT_GT(label.geometry().left(), 0) << "a strip on the left takes no drops";

    const QPalette anwendung = QApplication::palette();
    EXPECT_EQ(label.palette().color(QPalette::Window), anwendung.color(QPalette::Base));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), anwendung.color(QPalette::Text));
    EXPECT_TRUE(label.acceptDrops());
    EXPECT_FALSE(form.acceptDrops());
}

TEST(PixelAusTwips, BeiVerschiedenenDpi) {
    EXPECT_EQ(pixelAusTwips(3744, 120), 312);
    EXPECT_EQ(pixelAusTwips(2556, 120), 213);
    EXPECT_EQ(pixelAusTwips(3744, 96), 250);
    EXPECT_EQ(pixelAusTwips(120, 192), 16);
}

TEST_F(FensterTest, AbgelegteDateiWirdUmgewandelt) {
    ASSERT_TRUE(dateienZiehen({"CDs.cdb"}));
    warteAufLauf();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lies(pfad("CDs.cdb.xls")), lies(CDB2XLS_FIXTURES "/beispiel.xls"));
}

TEST_F(FensterTest, VonDreiDateienNurDieErste) {
    QFile::copy(CDB2XLS_FIXTURES "/schief.cdb", pfad("drei.cdb"));
    ASSERT_TRUE(dateienZiehen({"zwei.cdb", "CDs.cdb", "drei.cdb"}));
    warteAufLauf();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lies(pfad("zwei.cdb.xls")), lies(CDB2XLS_FIXTURES "/achtbit.xls"));
    EXPECT_FALSE(QFile::exists(pfad("CDs.cdb.xls")));
    EXPECT_FALSE(QFile::exists(pfad("drei.cdb.xls")));
}

TEST_F(FensterTest, NurLokaleDateienWerdenAngenommen) {
    QMimeData text;
    text.setText("CDs.cdb");
    EXPECT_FALSE(ziehen(form.label1(), text));
    QMimeData entfernt;
    entfernt.setUrls({QUrl("https://example.org/CDs.cdb")});
    EXPECT_FALSE(ziehen(form.label1(), entfernt));
    QMimeData datei;
    datei.setUrls({QUrl::fromLocalFile(pfad("CDs.cdb"))});
    EXPECT_FALSE(ziehen(form, datei)) << "the form outside the label takes no drops";
    QApplication::processEvents();
    EXPECT_FALSE(status.has_value());
    EXPECT_FALSE(QFile::exists(pfad("CDs.cdb.xls")));
}

struct Meldung {
    QString titel, text;
    QMessageBox::Icon symbol = QMessageBox::NoIcon;
    int knoepfe = 0;
};

// Waits for the modal message box, notes what it says and presses OK.
void meldungBeantworten(std::optional<Meldung>& meldung) {
    QTimer::singleShot(20, [&meldung] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            meldungBeantworten(meldung);
            return;
        }
        meldung = Meldung{box->windowTitle(), box->text(), box->icon(),
                          static_cast<int>(box->buttons().size())};
        box->button(QMessageBox::Ok)->click();
    });
}

TEST_F(FensterTest, FehlendeDateiMeldetUndSchreibtNichts) {
    QDir(ordner.path()).mkdir("Ordner.cdb");
    for (const QString name : {"weg.cdb", "Ordner.cdb"}) {
        status.reset();
        std::optional<Meldung> meldung;
        meldungBeantworten(meldung);
        ASSERT_TRUE(dateienZiehen({name}));
        warteAufLauf();
        ASSERT_TRUE(meldung.has_value()) << name.toStdString();
        EXPECT_EQ(meldung->titel, "Häää?");
        // A folder is there, but is no file: the box says so below the path.
        const QString grund = name == "Ordner.cdb" ? "\n\nist keine Datei, sondern ein Ordner" : "";
        EXPECT_EQ(meldung->text, "cdb-Datei nicht gefunden:\n\n" + pfad(name) + grund);
        EXPECT_EQ(meldung->symbol, QMessageBox::Critical);
        EXPECT_EQ(meldung->knoepfe, 1);
        EXPECT_EQ(status, 1);
        EXPECT_FALSE(QFile::exists(pfad(name + ".xls")));
    }
}

// A name from an old file system (Latin-1 bytes) shows as it is spelt, not
// as replacement characters; UTF-8 names and reasons as they are.
TEST(Hinweisfenster, ZeigtDenPfadWieDasDateisystemIhnNennt) {
    std::optional<Meldung> meldung;
    meldungBeantworten(meldung);
    hinweisZeigen(Hinweis{"Häää?", "cdb-Datei nicht lesbar:", "/cds/\xc4rzte \xfc.cdb", "Keine Berechtigung"}, nullptr);
    ASSERT_TRUE(meldung.has_value());
    EXPECT_EQ(meldung->text, "cdb-Datei nicht lesbar:\n\n/cds/Ärzte ü.cdb\n\nKeine Berechtigung");
    EXPECT_EQ(anzeigetext("Ärzte.cdb"), "Ärzte.cdb");
}

}  // namespace
}  // namespace cdb2xls::qt

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication anwendung(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
