#include "U_SimExport.h"

#include "base/Prompter.h"
#include "interchange/InterchangeTexts.h"
#include "interchange/SimTexts.h"
#include "store/Session.h"
#include "ui/ButtonsAndTabs.h"
#include "ui/FileDialogs.h"
#include "ui/FormParts.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kx::editor {
namespace {

using interchange::SimFormat;
namespace texts = interchange::texts;

bool usesAircraftFolder(SimFormat format) { return format != SimFormat::FlightGear; }

QString filterOf(SimFormat format)
{
    switch (format) {
    case SimFormat::XPlaneFms:
        return texts::fmsFilter();
    case SimFormat::FlightGear:
        return texts::flightGearFilter();
    case SimFormat::Pa3:
        return texts::pa3Filter();
    }
    return QString();
}

} // namespace

TF_SimExport::TF_SimExport(store::Session &session, ui::FileDialogs &fileDialogs, QWidget *parent)
    : ui::Dialog("TF_SimExport", ui::Dialog::Frame::Closable, parent)
    , m_session(session)
    , m_fileDialogs(fileDialogs)
{
    setWindowTitle(texts::simDialogCaption());

    auto *formats = ui::form::group(this, "GroupBox1", QStringLiteral("Формат"));
    m_fms = new QRadioButton(texts::fmsFormatCaption(), formats);
    m_fms->setObjectName(QStringLiteral("RFMS"));
    m_flightGear = new QRadioButton(texts::flightGearFormatCaption(), formats);
    m_flightGear->setObjectName(QStringLiteral("RFG"));
    m_pa3 = new QRadioButton(texts::pa3FormatCaption(), formats);
    m_pa3->setObjectName(QStringLiteral("RPA3"));
    auto *formatLayout = new QVBoxLayout(formats);
    for (const auto &[button, format] :
         {std::pair{m_fms, SimFormat::XPlaneFms}, std::pair{m_flightGear, SimFormat::FlightGear},
          std::pair{m_pa3, SimFormat::Pa3}}) {
        formatLayout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this, format](bool on) {
            if (on)
                chooseFormat(format);
        });
    }

    auto *where = ui::form::group(this, "GroupBox2", QStringLiteral("Куда"));
    m_folderLabel = new QLabel(where);
    m_folder = ui::form::edit(where, "PFolder", 1000);
    m_folderLabel->setBuddy(m_folder);
    auto *browseFolder = ui::namedButton(where, "BFolder", QStringLiteral("Обзор…"));
    auto *fileLabel = new QLabel(QStringLiteral("Файл"), where);
    m_file = ui::form::edit(where, "PFile", 1000);
    fileLabel->setBuddy(m_file);
    auto *browseFile = ui::namedButton(where, "BFile", QStringLiteral("Обзор…"));
    auto *grid = new QGridLayout(where);
    grid->addWidget(m_folderLabel, 0, 0, 1, 2);
    grid->addWidget(m_folder, 1, 0);
    grid->addWidget(browseFolder, 1, 1);
    grid->addWidget(fileLabel, 2, 0, 1, 2);
    grid->addWidget(m_file, 3, 0);
    grid->addWidget(browseFile, 3, 1);
    grid->setColumnMinimumWidth(0, 460);
    connect(m_folder, &QLineEdit::editingFinished, this, [this] {
        const QString folder = m_folder->text().trimmed();
        QString &remembered = usesAircraftFolder(m_format) ? m_settings.xplaneAircraft : m_settings.flightGearRoutes;
        if (folder != remembered) {
            remembered = folder;
            proposeFile();
        }
    });
    connect(browseFolder, &QPushButton::clicked, this, &TF_SimExport::browseFolder);
    connect(browseFile, &QPushButton::clicked, this, &TF_SimExport::browseFile);

    auto *ok = ui::namedButton(this, "BOK", QStringLiteral("Экспорт"));
    auto *cancel = ui::namedButton(this, "BCancel", QStringLiteral("Отмена"));
    connect(ok, &QPushButton::clicked, this, &TF_SimExport::exportRoute);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(formats);
    layout->addWidget(where);
    layout->addLayout(ui::buttonRow({ok, cancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ui::setTabOrder({m_fms, m_folder, browseFolder, m_file, browseFile, ok, cancel});
    ok->setDefault(true);
    m_fms->setChecked(true);
}

QString TF_SimExport::iniPath() const { return m_session.settingsFile().path(); }

void TF_SimExport::shown()
{
    m_settings = interchange::readSimSettings(iniPath());
    showFolder();
    proposeFile();
    (m_format == SimFormat::XPlaneFms ? m_fms : m_format == SimFormat::FlightGear ? m_flightGear : m_pa3)->setFocus();
}

void TF_SimExport::chooseFormat(SimFormat format)
{
    m_format = format;
    showFolder();
    proposeFile();
}

void TF_SimExport::showFolder()
{
    const bool aircraft = usesAircraftFolder(m_format);
    m_folderLabel->setText(aircraft ? texts::xplaneFolderCaption() : texts::flightGearFolderCaption());
    m_folder->setText(QDir::toNativeSeparators(aircraft ? m_settings.xplaneAircraft : m_settings.flightGearRoutes));
}

void TF_SimExport::proposeFile()
{
    const QString name = interchange::proposedSimFileName(interchange::currentAirportPair(m_session), m_format);
    m_file->setText(interchange::proposedSimFolder(m_settings, m_format) + name);
    m_file->setCursorPosition(m_file->text().size());
}

void TF_SimExport::browseFolder()
{
    const QString chosen = m_fileDialogs.chooseFolder(this, m_folder->text().trimmed(), m_folderLabel->text());
    if (chosen.isEmpty())
        return;
    m_folder->setText(QDir::toNativeSeparators(chosen));
    (usesAircraftFolder(m_format) ? m_settings.xplaneAircraft : m_settings.flightGearRoutes) = chosen;
    proposeFile();
}

void TF_SimExport::browseFile()
{
    const QFileInfo current(m_file->text().trimmed());
    const QString folder = current.isAbsolute() ? current.absolutePath() : m_session.settings.plnPath;
    const QString chosen = m_fileDialogs.saveFile(this, folder, current.fileName(), filterOf(m_format));
    if (!chosen.isEmpty())
        m_file->setText(QDir::toNativeSeparators(chosen));
}

void TF_SimExport::exportRoute()
{
    QString path = m_file->text().trimmed();
    if (path.isEmpty() || !QFileInfo(path).isAbsolute()) {
        browseFile();
        path = m_file->text().trimmed();
        if (path.isEmpty() || !QFileInfo(path).isAbsolute())
            return;
    }
    path = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    Prompter &prompter = m_session.prompter();
    if (QFileInfo::exists(path) && !QFileInfo(path).isDir()
        && !prompter.ask(this, texts::replaceFileQuestion(path), true))
        return;
    if (!interchange::exportForSimulator(m_session, m_format, path, this))
        return;
    // The folder the pilot keeps FlightGear routes in is where this one went
    // when no other was named.
    if (!usesAircraftFolder(m_format) && m_settings.flightGearRoutes.isEmpty())
        m_settings.flightGearRoutes = QFileInfo(path).absolutePath();
    interchange::SimSettings remembered = interchange::readSimSettings(iniPath());
    const auto keep = [](const QString &folder, QString *into) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            *into = QDir::toNativeSeparators(folder);
    };
    keep(m_settings.xplaneAircraft, &remembered.xplaneAircraft);
    keep(m_settings.flightGearRoutes, &remembered.flightGearRoutes);
    interchange::writeSimSettings(iniPath(), remembered);
    accept();
}

} // namespace kx::editor
