#pragma once
// Message boxes whose text is a language string: the viewer's one way of telling the
// user something in a box. Without a language library nothing is shown and the answer
// is "none" (the caller goes on as if the box had been dismissed).
//
// Tests and scripted runs replace the presenter to read the texts and answer the
// boxes without a person at the screen.

#include <QMessageBox>
#include <QString>
#include <functional>
#include <string>

using MessagePresenter =
    std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text, QMessageBox::StandardButtons)>;

// Replaces the presenter (an empty one restores the real boxes); returns the old one.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

// Shows `text` as it stands (literal texts of the program, e.g. "Select error").
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Shows language string `number`, after `prefix` when one is given. NoButton when
// there is no language library (or no such string) and nothing was shown.
QMessageBox::StandardButton ShowLanguageMessage(QWidget* parent, int number,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                const QString& prefix = QString());

// Why a write failed (an errno value) in the user's words: a full disk, no permission,
// a read-only disk, a missing folder, or the system's own words for anything else.
QString WriteFailureReason(int error);

// Language string `number` with "%1" the path and "%2" WriteFailureReason(error); empty
// without a language library.
QString WriteFailureText(int number, const std::string& path, int error);

// Language string `number` with "%1" the path and "%2" WriteFailureReason(error): the
// box for a write the user caused that failed (kStrSettingsNotSaved ...). NoButton
// when nothing could be shown.
QMessageBox::StandardButton ShowWriteFailure(QWidget* parent, int number, const std::string& path, int error);
