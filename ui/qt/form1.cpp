#include "ui/qt/form1.h"

#include "res/version.h"
#include "ui/entwurf.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

#include "res/cdb2xls.xpm"

namespace cdb2xls::qt {
namespace {

using namespace entwurf;

QString ersteLokaleDatei(const QMimeData* daten) {
    if (daten == nullptr || !daten->hasUrls()) return {};
    for (const QUrl& url : daten->urls()) {
        if (url.isLocalFile()) return url.toLocalFile();
    }
    return {};
}

}  // namespace

Label1::Label1(QWidget* eltern) : QLabel(eltern) {
    setObjectName("Label1");
    setAcceptDrops(true);
}

void Label1::dragEnterEvent(QDragEnterEvent* ereignis) {
    if (!ersteLokaleDatei(ereignis->mimeData()).isEmpty()) {
        ereignis->acceptProposedAction();
    } else {
        ereignis->ignore();
    }
}

void Label1::dropEvent(QDropEvent* ereignis) {
    const QString pfad = ersteLokaleDatei(ereignis->mimeData());
    if (pfad.isEmpty()) {
        ereignis->ignore();
        return;
    }
    ereignis->acceptProposedAction();
    emit dateiAbgelegt(pfad);
}

Form1::Form1(Umwandlung umwandlung, QWidget* eltern)
    : QWidget(eltern), umwandlung_(std::move(umwandlung)), label1_(new Label1(this)) {
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(CDB2XLS_PRODUKT));
    setWindowIcon(QIcon(QPixmap(cdb2xls_xpm)));

    label1_->setText(QString::fromUtf8(kLabelText));
    label1_->setWordWrap(true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont schrift(QString::fromUtf8(kSchriftart));
    schrift.setPointSizeF(kSchriftZehntelPunkte / 10.0);
    schrift.setWeight(QFont::Normal);
    schrift.setItalic(false);
    schrift.setUnderline(false);
    schrift.setStrikeOut(false);
    label1_->setFont(schrift);
    // The label in the colours of a text area; the form keeps its own
    // window colour, so the strips around the label show.
    QPalette farben = label1_->palette();
    farben.setColor(QPalette::Window, farben.color(QPalette::Base));
    farben.setColor(QPalette::WindowText, farben.color(QPalette::Text));
    label1_->setPalette(farben);
    label1_->setAutoFillBackground(true);

    legeFest();

    // Run after the drop has been delivered, so the source of the drag is not
    // kept waiting while the table is written or a notice is open.
    connect(label1_, &Label1::dateiAbgelegt, this,
            [this](const QString& pfad) { QTimer::singleShot(0, this, [this, pfad] { umwandeln(pfad); }); });
}

void Form1::legeFest() {
    const int dpi = logicalDpiX();
    setFixedSize(pixelAusTwips(kFensterBreite, dpi), pixelAusTwips(kFensterHoehe, dpi));
    label1_->setGeometry(pixelAusTwips(kLabelLinks, dpi), pixelAusTwips(kLabelOben, dpi),
                         pixelAusTwips(kLabelBreite, dpi), pixelAusTwips(kLabelHoehe, dpi));
}

// The run's notices as boxes over this window.
class Fenstermeldung final : public Meldestelle {
public:
    explicit Fenstermeldung(QWidget* fenster) : fenster_(fenster) {}
    void melden(const Hinweis& hinweis) override { hinweisZeigen(hinweis, fenster_); }

private:
    QWidget* fenster_;
};

void Form1::umwandeln(const QString& pfad) {
    Fenstermeldung meldung(this);
    emit laufBeendet(umwandlung_(QFile::encodeName(pfad).toStdString(), meldung));
}

QString anzeigetext(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void hinweisZeigen(const Hinweis& hinweis, QWidget* eltern) {
    // As the box of the Windows program lays it out, with line ends for CRs;
    // each paragraph spelt as it is (a path may be an old Latin-1 name).
    QString text;
    for (const std::string& absatz : hinweis.absaetze()) text += (text.isEmpty() ? "" : "\n\n") + anzeigetext(absatz);
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(hinweis.Titel.c_str()), text, QMessageBox::Ok, eltern);
    box.setWindowIcon(QIcon(QPixmap(cdb2xls_xpm)));
    box.exec();
}

}  // namespace cdb2xls::qt
