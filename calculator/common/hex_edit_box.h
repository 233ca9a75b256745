// CHexEditBox, the Multibyte Hex Edit Box: the multi-line edit control every
// operand is shown and edited in. It knows the number system and letter case
// of its text, converts between systems, formats and reorders bytes, trades
// operands with the clipboard and offers a context menu of operand commands.
// Nothing is filtered while typing; text is checked when read as an operand.
#pragma once

#include "resources/ids.h"
#include "text/number_system.h"

#include <QPlainTextEdit>

#include <memory>
#include <string>

class QMenu;

namespace calculator {

// Commands of the context menu (MENU 138), by menu id.
using enum ids::Command;
using ids::kCmdGetCrcValue;
using ids::kCmdGetHashValue;

// The bytes of typed or pasted plain text, one per character where every
// character fits a byte (so "é" is the single byte E9, as an 8-bit code page
// gives it); text with a character beyond U+00FF has no such encoding, and
// its UTF-8 bytes are the data instead.
std::string PlainTextBytes(const QString& text);

class CHexEditBox : public QPlainTextEdit {
    Q_OBJECT

public:
    // The context menu's resource id; 0 means no context menu.
    static constexpr int kDefaultContextMenuId = ids::kMenuHexEdit;
    // Default text limit in characters (and bytes accepted by a paste).
    static constexpr int kDefaultTextLimit = 1 << 20;

    explicit CHexEditBox(QWidget* parent = nullptr);

    int contextMenuId() const { return contextMenuId_; }
    void setContextMenuId(int id) { contextMenuId_ = id; }
    bool upperCase() const { return upperCase_ != 0; }
    void setUpperCase(bool upper) { upperCase_ = upper ? 1 : 0; }
    text::NumberSystem numberSystem() const { return text::NumberSystem(numberSystem_); }
    bool reportPasteErrors() const { return reportPasteErrors_ != 0; }
    void setReportPasteErrors(bool report) { reportPasteErrors_ = report ? 1 : 0; }
    bool offerCrcAndHash() const { return offerCrcAndHash_ != 0; }
    void setOfferCrcAndHash(bool offer) { offerCrcAndHash_ = offer ? 1 : 0; }
    int textLimit() const { return textLimit_; }
    void setTextLimit(int limit) { textLimit_ = limit; }

    // Switches the system, converting the text (messages 2001 to 2004 when
    // reportErrors). Returns the previous system, or -1 when the text could
    // not be read (text and system are then unchanged).
    int SetNumberSystem(int system, bool reportErrors);

    // The operand as a hex byte list: its byte count, 0 for an empty box,
    // -1 for invalid text (list is then empty). Shows no message.
    virtual int GetHexText(std::string& list) const;
    // Shows a hex byte list in the box's system and case; caret after the text.
    virtual void SetHexText(const std::string& list);
    // Opens the context menu at a global position.
    virtual void ShowContextMenu(const QPoint& globalPos);

    // True when the text was rewritten.
    bool Format(bool reportErrors);
    // Unit 1 reverses the whole operand; 2, 4, 8 reverse each group.
    bool SwapByteOrder(int unit);
    // The whole text to the clipboard as plain text (without white space
    // when trimSpaces); an empty result is not copied.
    void CopyAll(bool trimSpaces);
    // Plain: the clipboard text replaces the selection. As hex: the private
    // formats first, then plain text. False when nothing usable was there.
    bool Paste(bool asHex);
    // Replaces the selection with the list in the box's system and case, as
    // one undoable edit.
    void InsertHexList(const std::string& list);
    // Next or previous prime of the operand; the round count comes from the
    // command registry's question (the Primality Test tool asks the user).
    void SearchPrime(bool next);
    // Formats the operand, then exports it through the tool that serves
    // "Export To File" (the Output Number dialog).
    void ExportToFile();

    // Runs a context-menu command by its menu id (32789 "Undo" ... ); the
    // window's File menu and the tests use it too. A command that is
    // disabled right now (IsCommandEnabled) does nothing.
    void RunCommand(int commandId);
    // Whether a context-menu command is enabled right now.
    bool IsCommandEnabled(int commandId) const;
    // Builds MENU 138 with every item enabled or disabled for the box's
    // current state; each action's data() is its command id.
    std::unique_ptr<QMenu> CreateContextMenu();

signals:
    // The box received the keyboard focus (the calculator's active operand).
    void focusGained(calculator::CHexEditBox* box);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Replaces the selection with text (already in the box's system and
    // case) as one undoable edit.
    void InsertBoxText(const std::string& text);
    // Replaces the whole text; caret after it, scrolled into view.
    void ReplaceText(const std::string& text);

    // Fields in declaration order, all 32-bit integers.
    int contextMenuId_ = kDefaultContextMenuId;
    int upperCase_ = 1;
    int numberSystem_ = text::Hexadecimal;
    int reportPasteErrors_ = 0;
    int offerCrcAndHash_ = 1;
    int textLimit_ = kDefaultTextLimit;
};

} // namespace calculator
