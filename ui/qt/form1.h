// The window side of Form1: a small window whose label takes a dropped cdb
// file. The conversion itself is the core's.
#pragma once

#include "convert/ausgang.h"
#include "ui/fenster.h"

#include <QLabel>
#include <QString>
#include <QWidget>

class QDragEnterEvent;
class QDropEvent;

namespace cdb2xls::qt {

// The drop target: accepts drags that carry at least one local file.
class Label1 : public QLabel {
    Q_OBJECT
public:
    explicit Label1(QWidget* eltern);

signals:
    // The first local file of a drop, as a path.
    void dateiAbgelegt(const QString& pfad);

protected:
    void dragEnterEvent(QDragEnterEvent* ereignis) override;
    void dropEvent(QDropEvent* ereignis) override;
};

class Form1 : public QWidget {
    Q_OBJECT
public:
    // `umwandlung` converts a dropped file (the program's run).
    explicit Form1(Umwandlung umwandlung, QWidget* eltern = nullptr);

    Label1& label1() { return *label1_; }

signals:
    // The run has ended (after the notice, if any); the program ends with
    // this status.
    void laufBeendet(int status);

private:
    void umwandeln(const QString& pfad);
    void legeFest();

    Umwandlung umwandlung_;
    Label1* label1_;
};

// Shows a notice as a modal message box with the stop icon and one OK button.
void hinweisZeigen(const Hinweis& hinweis, QWidget* eltern);

// A file name or system text as it is spelt: UTF-8 where it is valid UTF-8,
// otherwise each byte as the Latin-1 character it is (an old file name).
QString anzeigetext(const std::string& bytes);

}  // namespace cdb2xls::qt
