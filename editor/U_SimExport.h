#pragma once

#include "interchange/SimExport.h"
#include "ui/Dialog.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace kx::store {
class Session;
}

namespace kx::ui {
class FileDialogs;
}

namespace kx::editor {

// "Экспорт для других симуляторов": the current route, calculated, as a plan
// of X-Plane (.fms), a route of FlightGear or the PA-3 tablet's plan of the
// X-Plane Tu-154B2. The person chooses the format, the folder the settings
// remember for it (the aircraft's folder in X-Plane, the FlightGear route
// folder) and the file, which the dialog proposes in pa3/gen_plans/, in
// X-Plane's Output/FMS plans/ or in the route folder. "Экспорт" writes it
// (asking before an existing file is replaced), remembers the folder and
// closes the dialog; a failure leaves it open with its message. The format
// chosen lasts from one showing to the next.
class TF_SimExport : public ui::Dialog
{
    Q_OBJECT
public:
    TF_SimExport(store::Session &session, ui::FileDialogs &fileDialogs, QWidget *parent = nullptr);

    interchange::SimFormat format() const { return m_format; }

private:
    void shown() override;
    void chooseFormat(interchange::SimFormat format);
    void showFolder();
    void proposeFile();
    void browseFolder();
    void browseFile();
    void exportRoute(); // "Экспорт"
    QString iniPath() const;

    store::Session &m_session;
    ui::FileDialogs &m_fileDialogs;
    interchange::SimSettings m_settings;
    interchange::SimFormat m_format = interchange::SimFormat::XPlaneFms;

    QRadioButton *m_fms = nullptr;
    QRadioButton *m_flightGear = nullptr;
    QRadioButton *m_pa3 = nullptr;
    QLabel *m_folderLabel = nullptr;
    QLineEdit *m_folder = nullptr;
    QLineEdit *m_file = nullptr;
};

} // namespace kx::editor
