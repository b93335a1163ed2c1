#pragma once
#include <QColor>
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace snaplorn {
class MessageService;
class Shell;
} // namespace snaplorn

// The About box: product name, version, maker, a link to the maker's web
// site and the maker's notice. The link turns yellow while the mouse is on
// it and blue again when the mouse is back on the box or its frame.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    // Link colours as COLORREF values (0x00BBGGRR).
    static constexpr quint32 LinkNormalColor = 0xFF0000; // blue
    static constexpr quint32 LinkHoverColor = 0x00FFFF;  // yellow

    frmAbout(snaplorn::Shell& shell, snaplorn::MessageService& messages, QWidget* parent = nullptr);

    // From the Help menu: blocks the main window until closed.
    static void showModal(snaplorn::Shell& shell, snaplorn::MessageService& messages,
                          QWidget* parent);
    // From the tray menu: a window of its own that deletes itself when
    // closed. The services must outlive the box.
    static frmAbout* showModeless(snaplorn::Shell& shell, snaplorn::MessageService& messages);

    // The colour the link text shows now.
    QColor linkColor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void centreOnScreen();
    void setLinkHovered(bool hovered);
    bool linkEvent(QEvent* event);
    void openLink();

    snaplorn::Shell& m_shell;
    snaplorn::MessageService& m_messages;
    QLabel* picLogo = nullptr;
    QLabel* lblProduct = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblMaker = nullptr;
    QFrame* Frame1 = nullptr;
    QLabel* lblLink = nullptr;
    QLabel* lblNotice = nullptr;
    QPushButton* cmdOK = nullptr;
};
