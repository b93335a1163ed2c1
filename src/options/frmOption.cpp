#include "options/frmOption.h"

#include "base/Texts.h"
#include "capture/AutoCapture.h"
#include "options/GetFolder.h"
#include "platform/DialogService.h"
#include "platform/HotKeys.h"
#include "platform/MessageService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

using namespace snaplorn;

namespace {

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

template <typename Widget, typename... Args> Widget* named(const char* name, Args&&... args)
{
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit* numberBox(const char* name, int width)
{
    auto* box = named<QLineEdit>(name);
    box->setFixedWidth(width);
    return box;
}

// A stored value longer than the box's limit is still shown whole: the
// limit only stops typing beyond it.
void setBoxText(QLineEdit* box, const QString& value, int limit)
{
    box->setMaxLength(std::max(limit, int(value.size())));
    box->setText(value);
}

void selectBoxText(QComboBox* box, const QString& value)
{
    box->setCurrentIndex(value.isEmpty() ? -1 : box->findText(value));
}

const char* BlueBold = "font-weight: bold; color: #0000ff;";

} // namespace

frmOption::frmOption(const AppSettings& settings, MessageService& messages, DialogService& dialogs,
                     Apply apply, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_messages(messages), m_dialogs(dialogs),
      m_apply(std::move(apply))
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(text(texts::OptionsCaption));
    buildControls();
    Form_Load();
    centreOnScreen();
}

void frmOption::buildControls()
{
    chkSysTray = named<QCheckBox>("chkSysTray", text(texts::OptionsSysTray));
    Label3 = named<QLabel>("Label3", text(texts::OptionsQualityLabel));
    txtJPGQuality = numberBox("txtJPGQuality", 48);
    auto* quality = new QHBoxLayout;
    quality->addWidget(Label3);
    quality->addWidget(txtJPGQuality);
    quality->addStretch(1);
    chkBroadcast = named<QCheckBox>("chkBroadcast", text(texts::OptionsBroadcast));
    chkHotkeys = named<QCheckBox>("chkHotkeys", text(texts::OptionsHotKeys));
    chkHotkeys->setStyleSheet(QLatin1String(BlueBold));
    cmdOk = named<QPushButton>("cmdOk", text(texts::OptionsOk));
    cmdOk->setDefault(true);
    cmdCancel = named<QPushButton>("cmdCancel", text(texts::OptionsCancel));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chkSysTray);
    layout->addWidget(buildAutoSaveFrame());
    layout->addLayout(quality);
    layout->addWidget(chkBroadcast);
    layout->addWidget(chkHotkeys);
    layout->addWidget(buildHotKeyFrame());
    layout->addLayout(buttons);

    // Assistive tools name each field by its label; the keys go through the
    // fields in the order they are laid out.
    Label3->setBuddy(txtJPGQuality);
    Label1->setBuddy(txtAutoFolder);
    Label7->setBuddy(txtAutoInterval);
    Label9->setBuddy(txtAutoImagesNum);
    cmdAutoFolder->setAccessibleName(text(texts::OptionsFolderButtonName));
    const QList<QWidget*> order = {chkSysTray,       txtAutoFolder, cmdAutoFolder, txtAutoInterval,
                                   txtAutoImagesNum, txtJPGQuality, chkBroadcast,  chkHotkeys,
                                   cboShiftRect,     cboKeyRect,    cboShiftDesk,  cboKeyDesk,
                                   cboShiftWin,      cboKeyWin,     cmdOk,         cmdCancel};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(chkHotkeys, &QCheckBox::toggled, this, &frmOption::chkHotkeys_Click);
    connect(cmdAutoFolder, &QPushButton::clicked, this, &frmOption::cmdAutoFolder_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmOption::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QGroupBox* frmOption::buildAutoSaveFrame()
{
    frAutoSave = named<QGroupBox>("frAutoSave", text(texts::OptionsAutoSaveFrame));
    frAutoSave->setStyleSheet(QStringLiteral("QGroupBox#frAutoSave { font-weight: bold; }"
                                             " QGroupBox#frAutoSave::title { color: #0000ff; }"));
    Label1 = named<QLabel>("Label1", text(texts::OptionsFolderLabel));
    txtAutoFolder = named<QLineEdit>("txtAutoFolder");
    txtAutoFolder->setReadOnly(true);
    txtAutoFolder->setMinimumWidth(280);
    cmdAutoFolder = named<QPushButton>("cmdAutoFolder", text(texts::OptionsFolderButton));
    cmdAutoFolder->setFixedWidth(32);
    Label7 = named<QLabel>("Label7", text(texts::OptionsIntervalLabel));
    txtAutoInterval = numberBox("txtAutoInterval", 48);
    Label10 = named<QLabel>("Label10", text(texts::OptionsIntervalRange));
    Label9 = named<QLabel>("Label9", text(texts::OptionsImagesLabel));
    txtAutoImagesNum = numberBox("txtAutoImagesNum", 48);
    Label2 = named<QLabel>("Label2", text(texts::OptionsImagesNote));

    auto* grid = new QGridLayout(frAutoSave);
    grid->addWidget(Label1, 0, 0, 1, 3);
    grid->addWidget(txtAutoFolder, 1, 0, 1, 2);
    grid->addWidget(cmdAutoFolder, 1, 2);
    grid->addWidget(Label7, 2, 0);
    auto* interval = new QHBoxLayout;
    interval->addWidget(txtAutoInterval);
    interval->addWidget(Label10);
    interval->addStretch(1);
    grid->addLayout(interval, 2, 1, 1, 2);
    grid->addWidget(Label9, 3, 0);
    grid->addWidget(txtAutoImagesNum, 3, 1);
    grid->addWidget(Label2, 4, 0, 1, 3);
    return frAutoSave;
}

QGroupBox* frmOption::buildHotKeyFrame()
{
    frHotKeys = named<QGroupBox>("frHotKeys");
    auto* grid = new QGridLayout(frHotKeys);
    struct Row {
        const char* names[5];
        const char* caption;
        QLabel** label;
        QComboBox** shift;
        QLabel** plus;
        QComboBox** key;
        QLabel** bound;
    };
    const Row rows[] = {
        {{"lblRect", "cboShiftRect", "lblRectPlus", "cboKeyRect", "lblRectBound"},
         texts::OptionsHotKeyRect,
         &lblRect,
         &cboShiftRect,
         &lblRectPlus,
         &cboKeyRect,
         &lblRectBound},
        {{"lblDesk", "cboShiftDesk", "lblDeskPlus", "cboKeyDesk", "lblDeskBound"},
         texts::OptionsHotKeyDesk,
         &lblDesk,
         &cboShiftDesk,
         &lblDeskPlus,
         &cboKeyDesk,
         &lblDeskBound},
        {{"lblWin", "cboShiftWin", "lblWinPlus", "cboKeyWin", "lblWinBound"},
         texts::OptionsHotKeyWin,
         &lblWin,
         &cboShiftWin,
         &lblWinPlus,
         &cboKeyWin,
         &lblWinBound},
    };
    int line = 0;
    for (const Row& row : rows) {
        *row.label = named<QLabel>(row.names[0], text(row.caption));
        *row.shift = named<QComboBox>(row.names[1]);
        *row.plus = named<QLabel>(row.names[2], text(texts::OptionsHotKeyPlus));
        *row.key = named<QComboBox>(row.names[3]);
        const QString caption = text(row.caption).trimmed();
        (*row.shift)->setAccessibleName(text(texts::OptionsModifierName).arg(caption));
        (*row.key)->setAccessibleName(text(texts::OptionsKeyName).arg(caption));
        grid->addWidget(*row.label, line, 0);
        grid->addWidget(*row.shift, line, 1);
        grid->addWidget(*row.plus, line, 2);
        grid->addWidget(*row.key, line, 3);
        // Only shown where the desktop binds the keys.
        *row.bound = named<QLabel>(row.names[4]);
        (*row.bound)->hide();
        grid->addWidget(*row.bound, line, 4);
        ++line;
    }
    return frHotKeys;
}

void frmOption::Form_Load()
{
    for (QComboBox* box : {cboShiftRect, cboShiftDesk, cboShiftWin})
        box->addItems(hotKeyModifierList());
    for (QComboBox* box : {cboKeyRect, cboKeyDesk, cboKeyWin})
        box->addItems(hotKeyKeyList());
    const OptionsForm entries = optionsFormFromSettings(m_settings);
    chkSysTray->setChecked(entries.runInTray);
    setBoxText(txtJPGQuality, entries.jpgQuality, 3);
    txtAutoFolder->setText(entries.autoFolder);
    setBoxText(txtAutoInterval, entries.autoInterval, 3);
    setBoxText(txtAutoImagesNum, entries.autoImagesNum, 2);
    chkBroadcast->setChecked(entries.showMessages);
    chkHotkeys->setChecked(entries.hotKeys);
    selectBoxText(cboShiftRect, entries.rect.modifier);
    selectBoxText(cboKeyRect, entries.rect.key);
    selectBoxText(cboShiftDesk, entries.desk.modifier);
    selectBoxText(cboKeyDesk, entries.desk.key);
    selectBoxText(cboShiftWin, entries.win.modifier);
    selectBoxText(cboKeyWin, entries.win.key);
    chkHotkeys_Click();
}

void frmOption::centreOnScreen()
{
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

OptionsForm frmOption::form() const
{
    OptionsForm entries;
    entries.runInTray = chkSysTray->isChecked();
    entries.autoFolder = txtAutoFolder->text();
    entries.autoInterval = txtAutoInterval->text();
    entries.autoImagesNum = txtAutoImagesNum->text();
    entries.jpgQuality = txtJPGQuality->text();
    entries.showMessages = chkBroadcast->isChecked();
    entries.hotKeys = chkHotkeys->isChecked();
    entries.rect = {cboShiftRect->currentText(), cboKeyRect->currentText()};
    entries.desk = {cboShiftDesk->currentText(), cboKeyDesk->currentText()};
    entries.win = {cboShiftWin->currentText(), cboKeyWin->currentText()};
    return entries;
}

void frmOption::chkHotkeys_Click()
{
    const bool on = chkHotkeys->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{
             lblRect, lblRectPlus, cboShiftRect, cboKeyRect, lblDesk, lblDeskPlus, cboShiftDesk,
             cboKeyDesk, lblWin, lblWinPlus, cboShiftWin, cboKeyWin})
        control->setEnabled(on);
}

void frmOption::showBoundKeys(const HotKeys& hotKeys)
{
    if (!hotKeys.desktopBindsKeys())
        return;
    m_hotKeys = &hotKeys;
    connect(&hotKeys, &HotKeys::bindingsChanged, this, &frmOption::refreshBoundKeys);
    for (QLabel* label : {lblRectBound, lblDeskBound, lblWinBound})
        label->show();
    refreshBoundKeys();
    centreOnScreen();
}

void frmOption::refreshBoundKeys()
{
    if (!m_hotKeys)
        return;
    QLabel* const labels[3] = {lblRectBound, lblDeskBound, lblWinBound};
    for (int id = 0; id < 3; ++id) {
        const QString bound = m_hotKeys->boundKey(id);
        labels[id]->setText(bound.isEmpty() ? text(texts::OptionsHotKeyNotBound)
                                            : text(texts::OptionsHotKeyBound).arg(bound));
    }
}

void frmOption::cmdAutoFolder_Click()
{
    const QString folder =
        BrowseForFolder(m_dialogs, this, text(texts::SelectFolderTitle), txtAutoFolder->text());
    if (!folder.isEmpty())
        txtAutoFolder->setText(folder);
}

void frmOption::cmdOk_Click()
{
    const OptionsForm entries = form();
    if (const std::optional<OptionsProblem> problem =
            validateOptions(entries, &autoCaptureFolderUsable)) {
        m_messages.tell(this, problem->message, MsgIcon::Exclamation);
        focusTarget(problem->focus)->setFocus();
        return;
    }
    const AppSettings updated = applyOptions(entries, m_settings);
    m_stored = updated;
    if (!m_apply || m_apply(updated, entries.showMessages)) {
        accept();
        return;
    }
    // The values are stored; the dialog stays so that other keys can be
    // chosen and OK pressed again.
    m_messages.tell(this, text(texts::OptionsHotKeysFailed), MsgIcon::Critical);
}

QWidget* frmOption::focusTarget(OptionsField field) const
{
    switch (field) {
    case OptionsField::AutoFolder:
        return cmdAutoFolder;
    case OptionsField::JpgQuality:
        return txtJPGQuality;
    case OptionsField::AutoInterval:
        return txtAutoInterval;
    case OptionsField::AutoImagesNum:
        return txtAutoImagesNum;
    case OptionsField::RectModifier:
        return cboShiftRect;
    case OptionsField::RectKey:
        return cboKeyRect;
    case OptionsField::DeskModifier:
        return cboShiftDesk;
    case OptionsField::DeskKey:
        return cboKeyDesk;
    case OptionsField::WinModifier:
        return cboShiftWin;
    case OptionsField::WinKey:
        break;
    }
    return cboKeyWin;
}
