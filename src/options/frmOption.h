#pragma once
#include "settings/AppSettings.h"
#include "options/OptionsRules.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace snaplorn {
class DialogService;
class HotKeys;
class MessageService;
} // namespace snaplorn

// The Options dialog: tray start, JPEG quality, the auto-capture folder,
// interval and count, whether broadcast messages show again, and the three
// hot keys. It edits a copy of the settings record and never touches the
// settings file. OK checks the entries and hands the new record to `apply`,
// with whether "Show me important messages" is ticked; `apply` writes it,
// keeps it and registers the hot keys. When `apply` reports that a hot key
// could not be registered the dialog stays open so other keys can be chosen.
// Cancel changes nothing.
class frmOption : public QDialog
{
    Q_OBJECT
public:
    using Apply =
        std::function<bool(const snaplorn::AppSettings&, bool showMessagesAgain)>;

    frmOption(const snaplorn::AppSettings& settings, snaplorn::MessageService& messages,
              snaplorn::DialogService& dialogs, Apply apply,
              QWidget* parent = nullptr);

    // The record the last OK stored (also one whose hot keys failed), or
    // nothing when OK never got that far.
    const std::optional<snaplorn::AppSettings>& newSettings() const { return m_stored; }
    // The entries as they stand.
    snaplorn::OptionsForm form() const;
    // Where the desktop binds the hot keys, each row also shows the key it
    // bound, kept up to date while the dialog is open.
    void showBoundKeys(const snaplorn::HotKeys& hotKeys);

private:
    void buildControls();
    QGroupBox* buildAutoSaveFrame();
    QGroupBox* buildHotKeyFrame();
    void Form_Load();
    void centreOnScreen();
    void chkHotkeys_Click();
    void cmdAutoFolder_Click();
    void cmdOk_Click();
    QWidget* focusTarget(snaplorn::OptionsField field) const;
    void refreshBoundKeys();

    snaplorn::AppSettings m_settings;
    snaplorn::MessageService& m_messages;
    snaplorn::DialogService& m_dialogs;
    Apply m_apply;
    std::optional<snaplorn::AppSettings> m_stored;

    QCheckBox* chkSysTray = nullptr;
    QGroupBox* frAutoSave = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtAutoFolder = nullptr;
    QPushButton* cmdAutoFolder = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtAutoInterval = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* txtAutoImagesNum = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtJPGQuality = nullptr;
    QCheckBox* chkBroadcast = nullptr;
    QCheckBox* chkHotkeys = nullptr;
    QGroupBox* frHotKeys = nullptr;
    QLabel* lblRect = nullptr;
    QComboBox* cboShiftRect = nullptr;
    QLabel* lblRectPlus = nullptr;
    QComboBox* cboKeyRect = nullptr;
    QLabel* lblDesk = nullptr;
    QComboBox* cboShiftDesk = nullptr;
    QLabel* lblDeskPlus = nullptr;
    QComboBox* cboKeyDesk = nullptr;
    QLabel* lblWin = nullptr;
    QComboBox* cboShiftWin = nullptr;
    QLabel* lblWinPlus = nullptr;
    QComboBox* cboKeyWin = nullptr;
    QLabel* lblRectBound = nullptr;
    QLabel* lblDeskBound = nullptr;
    QLabel* lblWinBound = nullptr;
    const snaplorn::HotKeys* m_hotKeys = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
};
