#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace snaplorn {
class MessageService;
class Registry;
class Shell;
} // namespace snaplorn

// A small always-on-top window with one identified message, an OK button or
// Yes and No (Yes opens the message's web address), and a check box that
// stores the message's identifier as "HideMsgID" so it is not shown again.
// It is not modal: the caller goes on at once. It deletes itself when closed.
class frmMsgBox : public QDialog
{
    Q_OBJECT
public:
    frmMsgBox(snaplorn::Registry& registry, snaplorn::MessageService& messages,
              snaplorn::Shell& shell, QWidget* parent = nullptr);

    // Shows the message. Btn "YN" in any letter case gives Yes and No, any
    // other text OK alone. The text is shown as it is, never as markup; the
    // box grows with it up to half the screen each way and scrolls beyond.
    void ShowMsg(const QString& ID, const QString& Msg, const QString& URL, const QString& Btn,
                 const QString& sTitle);

    QString messageId() const { return m_id; }
    // 1 when a button closed the box with the check box ticked.
    int BlockRequested = 0;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;

private:
    void buildControls();
    void fitMessageArea();
    void cmdYes_Click();
    void closeByButton();
    void chkBlock_Click(bool checked);
    void storeBlockedId();

    snaplorn::Registry& m_registry;
    snaplorn::MessageService& m_messages;
    snaplorn::Shell& m_shell;
    QString m_id;
    QString m_url;

    QLabel* Image1 = nullptr;
    QLabel* lblMsg = nullptr;
    QScrollArea* scrMsg = nullptr;
    QCheckBox* chkBlock = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdYes = nullptr;
    QPushButton* cmdNo = nullptr;
};
