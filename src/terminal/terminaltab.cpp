#include "terminaltab.h"

#include "qsopanel.h"
#include "terminalstate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The speed with its unit: a bare number beside the slider reads as
// anything from a count to a volume.
QString speedText(int wpm)
{
    return u"%1 wpm"_s.arg(wpm);
}

const QColor White(0xFF, 0xFF, 0xFF);
const QColor LightYellow(0xFF, 0xFF, 0xA0);

void paint(QPlainTextEdit *box, const QColor &colour)
{
    box->setStyleSheet(u"QPlainTextEdit { background: %1; color: black; }"_s.arg(colour.name()));
}

QLabel *hint(const QString &name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignHCenter);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    label->setFont(font);
    return label;
}

QPushButton *button(const QString &name, const QString &caption, const QString &tip)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

} // namespace

TerminalTab::TerminalTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"fraTerminalFrame"_s);
    buildControls();
    buildLayout();
    setMonitorFontSize(DefaultFontSize);
    setMillKeyboard(false);

    connect(m_speedSlider, &QSlider::valueChanged, this, [this](int value) {
        m_speedLabel->setText(speedText(value));
        // A move that only shows the keyer's own report is not sent back.
        if (std::exchange(m_speedEcho, false))
            return;
        emit speedChosen(value);
    });
    connect(m_speedSlider, &QSlider::sliderPressed, this, [this] { m_speedEcho = false; });
    connect(m_clearMonitor, &QPushButton::clicked, this, &TerminalTab::clearMonitorClicked);
    connect(m_saveMonitor, &QPushButton::clicked, this, &TerminalTab::saveMonitorClicked);
    connect(m_reviewMonitor, &QPushButton::clicked, this, &TerminalTab::reviewMonitorClicked);
    connect(m_clearSendBuffer, &QPushButton::clicked, this, &TerminalTab::clearSendBufferClicked);
    connect(m_sendMessage, &QPushButton::clicked, this, &TerminalTab::sendMessageClicked);
    connect(m_sendBuffer, &QPlainTextEdit::textChanged, this, &TerminalTab::sendBufferEdited);
    connect(m_sendImmediate, &QCheckBox::clicked, this, &TerminalTab::sendImmediateClicked);
    connect(m_checkCall, &QPushButton::clicked, this, &TerminalTab::checkCallClicked);
    connect(m_logQso, &QPushButton::clicked, this, &TerminalTab::logQsoClicked);
    connect(m_deleteQso, &QPushButton::clicked, this, &TerminalTab::deleteQsoClicked);
    connect(m_editQso, &QPushButton::clicked, this, &TerminalTab::editQsoClicked);
    connect(m_autoLogging, &QCheckBox::clicked, this, &TerminalTab::autoLoggingClicked);
    connect(m_band, &QComboBox::activated, this, &TerminalTab::bandChosen);
    connect(m_mode, &QComboBox::activated, this, &TerminalTab::modeChosen);
    connect(m_handKey, &QCheckBox::clicked, this, &TerminalTab::handKeyClicked);
    connect(m_fontDown, &QPushButton::clicked, this, [this] { stepFont(-1); });
    connect(m_fontUp, &QPushButton::clicked, this, [this] { stepFont(+1); });
}

void TerminalTab::buildControls()
{
    QFont fixed(u"Lucida Console"_s);
    if (!QFontInfo(fixed).exactMatch())
        fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    m_monitor = new QPlainTextEdit;
    m_monitor->setObjectName(u"txtMonitorText"_s);
    m_monitor->setUndoRedoEnabled(false);
    m_monitor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_monitor->setFont(fixed);
    m_monitor->viewport()->installEventFilter(this);
    m_monitorText = std::make_unique<MonitorText>(m_monitor);

    m_sendBuffer = new QPlainTextEdit;
    m_sendBuffer->setObjectName(u"txtSendBuffer"_s);
    m_sendBuffer->setFont(fixed);
    m_sendBuffer->setTabChangesFocus(true);
    m_sendBuffer->viewport()->installEventFilter(this);
    m_sendBuffer->installEventFilter(this);

    m_qso = new QsoPanel;

    m_speedSlider = new QSlider(Qt::Horizontal);
    m_speedSlider->setObjectName(u"speedSlider"_s);
    m_speedSlider->setRange(MinSpeed, MaxSpeed);
    m_speedSlider->setToolTip(tr("Keying speed (wpm)"));
    m_speedLabel = new QLabel;
    m_speedLabel->setObjectName(u"lblSpeed"_s);
    m_speedLabel->setMinimumWidth(m_speedLabel->fontMetrics().horizontalAdvance(u"00 wpm "_s));
    m_onAir = new QLabel(u"On the Air"_s);
    m_onAir->setObjectName(u"lblOnAir"_s);
    m_onAir->setStyleSheet(u"color: #c00000; font-weight: bold;"_s);
    m_onAir->setVisible(false);

    m_band = new QComboBox;
    m_band->setObjectName(u"cboBand2"_s);
    m_band->setToolTip(u"Instant band change"_s);
    m_band->addItems({u" 2"_s, u" 4"_s, u" 6"_s, u"10"_s, u"12"_s, u"15"_s, u"17"_s, u"20"_s, u"30"_s, u"40"_s,
                      u"60"_s, u"80"_s, u"160"_s});
    m_mode = new QComboBox;
    m_mode->setObjectName(u"cboMode"_s);
    m_mode->setToolTip(u"Instant mode change"_s);
    m_mode->addItems({u"CW"_s, u"SSB"_s});
    m_handKey = new QCheckBox(tr("Hand key"));
    m_handKey->setObjectName(u"cbxHandkey"_s);
    m_handKey->setToolTip(u"Instant Hand key toggle"_s);
    m_tune = button(u"btnTune"_s, tr("Tune"), u"Click for key-down, right-click for pulse tuning"_s);
    m_tune->setCheckable(true);
    m_tune->installEventFilter(this);
    m_fontDown = button(u"btnFontDown"_s, u"A\u2212"_s, u"Smaller Font"_s);
    m_fontUp = button(u"btnFontUp"_s, u"A+"_s, u"Larger Font"_s);

    m_clearMonitor = button(u"btnClearMonitor"_s, u"Cle&ar"_s, u"Clear the monitor box"_s);
    m_saveMonitor = button(u"btnSaveMonitor"_s, u"&Save"_s, u"Save contents of the monitor box to audit file"_s);
    m_reviewMonitor = button(u"btnReviewMonitor"_s, u"Re&view"_s, u"Show previously saved audit files"_s);
    m_clearSendBuffer = button(u"btnClearSendBuffer"_s, u"Clea&r"_s, u"Clear the send buffer box"_s);
    m_sendImmediate = new QCheckBox(u"Send text immediately as it is typed in - Use Ctrl-Alt to toggle"_s);
    m_sendImmediate->setObjectName(u"cbxSendImmediate"_s);
    m_sendImmediate->setToolTip(m_sendImmediate->text());
    m_ctrlAlt = hint(u"lblCtrlAlt"_s, u"HotKey <Alt-Ctrl>"_s);
    m_keypadIndicator = new QLabel(u"Ctrl"_s);
    m_keypadIndicator->setObjectName(u"lblCtrl"_s);
    m_keypadIndicator->setToolTip(tr("The number row and , . - = / act as the keypad - Ctrl toggles"));
    m_keypadIndicator->setStyleSheet(u"color: white; background: #c00000; padding: 1px 4px;"_s);
    m_keypadIndicator->hide();

    m_checkCall = button(u"btnCheckCall"_s, u"Chec&k Call"_s, {});
    m_sendMessage = button(u"btnSendMessage"_s, u"Send &Message"_s, u"Use the Enter key to send the message"_s);
    m_logQso = button(u"btnLogQSO"_s, u"Save &QSO"_s, u"Save the QSO in the log"_s);
    m_deleteQso = button(u"btnDeleteQSO"_s, u"&Delete Last QSO"_s,
                         u"Delete the last QSO from the log - Undelete with right-click or Alt-U"_s);
    m_deleteQso->installEventFilter(this);
    m_editQso = button(u"btnEditQSO"_s, u"Scroll / &Edit"_s, u"Scroll backwards in the log to edit"_s);
    m_autoLogging = new QCheckBox(tr("Automatic logging"));
    m_autoLogging->setObjectName(u"cbxDetect"_s);
    m_autoLogging->setToolTip(tr("Mark the call before \" DE \" and your own call when a message is sent"));
    m_enter = hint(u"lblEnter"_s, u"<Enter>"_s);
    m_ctrlEnter = hint(u"lblCtrlEnter"_s, u"<Ctrl-Enter>"_s);
    m_altEnter = hint(u"lblAltEnter"_s, u"<Alt-Enter>"_s);
    m_scroll = hint(u"lblScroll"_s, u"<Scroll>"_s);

    m_currentUser = new QLabel(u"1"_s);
    m_currentUser->setObjectName(u"lblCurrentUser"_s);
    m_currentUser->setToolTip(tr("Active user - keypad / toggles"));
    m_serialCaption = new QLabel(tr("Serial #:"));
    m_serialCaption->setObjectName(u"lblSerialNumber"_s);
    m_serialNumber = new QLineEdit;
    m_serialNumber->setObjectName(u"txtSerialNumber"_s);
    m_serialNumber->setToolTip(u"Next serial number in contest mode"_s);
    m_serialNumber->setMaxLength(6);
    m_serialNumber->setMaximumWidth(m_serialNumber->fontMetrics().horizontalAdvance(u"0000000"_s) + 12);
    m_serialNumber->installEventFilter(this);
    m_serialCaption->setBuddy(m_serialNumber);

    auto *undelete = new QAction(this);
    undelete->setShortcut(QKeySequence(Qt::ALT | Qt::Key_U));
    undelete->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(undelete, &QAction::triggered, this, &TerminalTab::undeleteRequested);
    addAction(undelete);
}

void TerminalTab::buildLayout()
{
    auto *topRow = new QHBoxLayout;
    topRow->addWidget(new QLabel(tr("Speed:")));
    topRow->addWidget(m_speedSlider, 2);
    topRow->addWidget(m_speedLabel);
    topRow->addSpacing(12);
    topRow->addWidget(m_onAir);
    topRow->addStretch(1);
    // No Alt keys for the lists here: a list with the focus would take the
    // operator's next letters as a band or a mode.
    topRow->addWidget(new QLabel(tr("Band:")));
    topRow->addWidget(m_band);
    topRow->addWidget(new QLabel(tr("Mode:")));
    topRow->addWidget(m_mode);
    topRow->addWidget(m_handKey);
    topRow->addWidget(m_tune);
    topRow->addSpacing(12);
    topRow->addWidget(m_fontDown);
    topRow->addWidget(m_fontUp);

    auto *monitorButtons = new QHBoxLayout;
    auto *monitorLabel = new QLabel(tr("Monitor"));
    monitorButtons->addWidget(monitorLabel);
    monitorButtons->addStretch();
    monitorButtons->addWidget(m_clearMonitor);
    monitorButtons->addWidget(m_saveMonitor);
    monitorButtons->addWidget(m_reviewMonitor);

    auto *sendButtons = new QHBoxLayout;
    sendButtons->addWidget(new QLabel(tr("Send buffer")));
    sendButtons->addWidget(m_keypadIndicator);
    sendButtons->addStretch();
    sendButtons->addWidget(m_sendImmediate);
    sendButtons->addWidget(m_ctrlAlt);
    sendButtons->addWidget(m_clearSendBuffer);

    // The red frame marks the edit mode round monitor and send buffer.
    m_redFrame = new QFrame;
    m_redFrame->setObjectName(u"RedFrame"_s);
    auto *texts = new QVBoxLayout(m_redFrame);
    texts->setContentsMargins(3, 3, 3, 3);
    texts->addLayout(monitorButtons);
    texts->addWidget(m_monitor, 3);
    texts->addLayout(sendButtons);
    texts->addWidget(m_sendBuffer, 1);
    setEditMode(false);

    auto *actions = new QGridLayout;
    const QList<QPair<QWidget *, QLabel *>> columns = {
        {m_checkCall, m_ctrlEnter}, {m_sendMessage, m_enter}, {m_logQso, m_altEnter},
        {m_deleteQso, nullptr},     {m_editQso, m_scroll}};
    for (int i = 0; i < columns.size(); ++i) {
        actions->addWidget(columns.at(i).first, 0, i);
        if (columns.at(i).second)
            actions->addWidget(columns.at(i).second, 1, i);
    }
    actions->addWidget(m_autoLogging, 0, int(columns.size()));

    auto *contest = new QHBoxLayout;
    auto *userCaption = new QLabel(tr("User:"));
    userCaption->setBuddy(m_currentUser);
    contest->addWidget(userCaption);
    contest->addWidget(m_currentUser);
    contest->addStretch();
    contest->addWidget(m_serialCaption);
    contest->addWidget(m_serialNumber);

    auto *side = new QVBoxLayout;
    side->addWidget(m_qso, 1);
    side->addLayout(contest);

    auto *middle = new QHBoxLayout;
    middle->addWidget(m_redFrame, 3);
    middle->addLayout(side, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(topRow);
    layout->addLayout(middle, 1);
    layout->addLayout(actions);
}

qsizetype TerminalTab::monitorLength() const
{
    return m_monitorText->length();
}

QString TerminalTab::monitorTail(qsizetype count) const
{
    return m_monitorText->tail(count);
}

void TerminalTab::monitorAppend(const QString &text)
{
    m_monitorText->append(text);
    emit monitorTextAdded(text);
}

void TerminalTab::monitorChop(qsizetype count)
{
    m_monitorText->chop(count);
}

void TerminalTab::monitorClear()
{
    m_monitorText->clear();
}

void TerminalTab::monitorNewLine()
{
    m_monitorText->newLine();
}

QPlainTextEdit *TerminalTab::typingBox() const
{
    return m_mill ? m_monitor : m_sendBuffer;
}

void TerminalTab::newLine(QPlainTextEdit *box)
{
    if (box->document()->isEmpty())
        return;
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    box->setTextCursor(cursor);
    // An empty last line: the text ends with a line break already.
    if (!box->document()->lastBlock().text().isEmpty())
        cursor.insertText(u"\n"_s);
}

void TerminalTab::insertIntoSendBuffer(const QString &text, qsizetype lockedLength)
{
    QTextCursor cursor = m_sendBuffer->textCursor();
    if (qMin(cursor.selectionStart(), cursor.selectionEnd()) < lockedLength) {
        cursor.movePosition(QTextCursor::End);
        m_sendBuffer->setTextCursor(cursor);
    }
    m_sendBuffer->insertPlainText(text);
}

void TerminalTab::clearSendBuffer()
{
    const QSignalBlocker quiet(m_sendBuffer);
    m_sendBuffer->clear();
    m_sendBuffer->setExtraSelections({});
}

void TerminalTab::markUnsent(qsizetype position)
{
    // An extra selection, not a character format: what is typed next must
    // not come out grey.
    QTextEdit::ExtraSelection unsent;
    unsent.cursor = QTextCursor(m_sendBuffer->document());
    unsent.cursor.setPosition(int(position));
    unsent.cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    unsent.cursor.setKeepPositionOnInsert(true);
    unsent.format.setForeground(QColor(0x90, 0x90, 0x90));
    unsent.format.setFontStrikeOut(true);
    unsent.format.setToolTip(tr("Not sent: the transmission was stopped"));
    QList<QTextEdit::ExtraSelection> selections = m_sendBuffer->extraSelections();
    selections.append(unsent);
    m_sendBuffer->setExtraSelections(selections);
}

bool TerminalTab::refusesEdit(QKeyEvent *event, qsizetype lockedLength)
{
    QTextCursor cursor = m_sendBuffer->textCursor();
    const int start = qMin(cursor.selectionStart(), cursor.selectionEnd());
    const int end = qMax(cursor.selectionStart(), cursor.selectionEnd());
    if (end < lockedLength && event->matches(QKeySequence::Copy))
        return false;
    // Undoing could take back anything, sent or not.
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return true;
    const bool cut = event->matches(QKeySequence::Cut);
    const bool paste = event->matches(QKeySequence::Paste);
    int removeFrom = start;
    if (start == end) {
        if (event->matches(QKeySequence::DeleteStartOfWord)) {
            cursor.movePosition(QTextCursor::PreviousWord);
            removeFrom = cursor.position();
        } else if (event->key() == Qt::Key_Backspace) {
            removeFrom = start - 1;
        }
    }
    const bool removes = cut || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete
        || event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteStartOfWord)
        || event->matches(QKeySequence::DeleteEndOfLine) || event->matches(QKeySequence::DeleteCompleteLine);
    if (removes)
        return removeFrom < lockedLength;
    const bool types = paste || (!event->text().isEmpty() && event->text().at(0).isPrint())
        || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (types && start < lockedLength) {
        cursor.movePosition(QTextCursor::End);
        m_sendBuffer->setTextCursor(cursor);
    }
    return false;
}

void TerminalTab::setMonitorFontSize(double points)
{
    m_fontSize = points;
    QFont font = m_monitor->font();
    font.setPointSizeF(points);
    m_monitor->setFont(font);
    m_sendBuffer->setFont(font);
}

void TerminalTab::stepFont(double step)
{
    if ((step < 0 && m_fontSize >= 9) || (step > 0 && m_fontSize <= 23))
        setMonitorFontSize(m_fontSize + step);
    emit fontSizeChanged(m_fontSize);
    focusSendBuffer();
}

void TerminalTab::setMillKeyboard(bool on)
{
    m_mill = on;
    paint(m_sendBuffer, on ? White : LightYellow);
    paint(m_monitor, on ? LightYellow : White);
    // Only the mill keyboard types into the monitor.
    m_monitor->setReadOnly(!on);
    m_monitor->setTextInteractionFlags(on ? Qt::TextEditorInteraction
                                          : Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TerminalTab::showSpeed(int wpm)
{
    m_speedLabel->setText(speedText(wpm));
    if (m_speedSlider->value() == qBound(m_speedSlider->minimum(), wpm, m_speedSlider->maximum()))
        return;
    m_speedEcho = true;
    m_speedSlider->setValue(wpm);
}

void TerminalTab::setOnAir(bool onAir, bool ssb)
{
    m_onAir->setText(ssb ? u"SSB"_s : u"On the Air"_s);
    m_onAir->setVisible(ssb || onAir);
}

bool TerminalTab::onAirShown() const
{
    return !m_onAir->isHidden();
}

void TerminalTab::showOnAir()
{
    m_onAir->show();
}

void TerminalTab::showBand(int index)
{
    if (index >= 0 && index < m_band->count())
        m_band->setCurrentIndex(index);
}

void TerminalTab::showMode(bool ssb)
{
    m_mode->setCurrentIndex(ssb ? 1 : 0);
}

void TerminalTab::showHandKey(bool on)
{
    m_handKey->setChecked(on);
}

void TerminalTab::showAutoLogging(bool on)
{
    m_autoLogging->setChecked(on);
}

void TerminalTab::showSerialNumber(qint32 number, bool contest)
{
    if (!m_serialNumber->hasFocus())
        m_serialNumber->setText(QString::number(number));
    m_serialNumber->setVisible(contest);
    m_serialCaption->setVisible(contest);
}

void TerminalTab::showUser(bool user2)
{
    m_currentUser->setText(user2 ? u"2"_s : u"1"_s);
}

void TerminalTab::setBandControlsEnabled(bool on)
{
    m_band->setEnabled(on);
    m_mode->setEnabled(on);
}

bool TerminalTab::sendImmediate() const
{
    return m_sendImmediate->isChecked();
}

void TerminalTab::setSendImmediate(bool on)
{
    m_sendImmediate->setChecked(on);
}

bool TerminalTab::autoLogging() const
{
    return m_autoLogging->isChecked();
}

void TerminalTab::applyButtons(const TerminalButtons &buttons)
{
    if (!m_sending) {
        m_sendMessage->setEnabled(buttons.sendMessageEnabled);
        m_enter->setEnabled(buttons.sendMessageEnabled);
        m_sendImmediate->setEnabled(buttons.immediateEnabled);
        m_ctrlAlt->setEnabled(buttons.immediateEnabled);
    }
    m_sendMessage->setText(buttons.sendMessageCaption);
    m_sendMessage->setToolTip(buttons.sendMessageToolTip);
    m_checkCall->setText(buttons.checkCallCaption);
    m_checkCall->setToolTip(buttons.checkCallToolTip);
    m_ctrlEnter->setText(buttons.ctrlEnterCaption);
    m_ctrlEnter->setEnabled(true);
}

void TerminalTab::setSending(bool sending, bool ssb, bool editMode)
{
    m_sending = sending;
    const bool idle = !sending;
    for (QWidget *w : std::initializer_list<QWidget *>{m_clearMonitor, m_saveMonitor, m_reviewMonitor,
                                                       m_clearSendBuffer, m_deleteQso, m_editQso, m_scroll,
                                                       m_checkCall, m_logQso, m_ctrlEnter, m_altEnter})
        w->setEnabled(idle);
    const bool bands = idle && !editMode;
    m_band->setEnabled(bands);
    m_mode->setEnabled(bands);
    const bool sendButton = idle && !m_sendImmediate->isChecked();
    m_sendMessage->setEnabled(sendButton);
    m_enter->setEnabled(sendButton);
    m_sendImmediate->setEnabled(idle && !ssb);
    m_ctrlAlt->setEnabled(idle && !ssb);
}

void TerminalTab::setEditMode(bool on)
{
    m_redFrame->setProperty("editing", on);
    m_redFrame->setFrameShape(QFrame::Box);
    m_redFrame->setStyleSheet(on ? u"QFrame#RedFrame { border: 2px solid red; }"_s
                                 : u"QFrame#RedFrame { border: 2px solid transparent; }"_s);
}

bool TerminalTab::editMode() const
{
    return m_redFrame->property("editing").toBool();
}

void TerminalTab::setDeleteCaption(DeleteCaption caption)
{
    switch (caption) {
    case DeleteCaption::LastQso:
        m_deleteQso->setText(u"&Delete Last QSO"_s);
        m_deleteQso->setToolTip(u"Delete the last QSO from the log - Right-click to undelete"_s);
        break;
    case DeleteCaption::ThisQso:
        m_deleteQso->setText(u"&Delete QSO"_s);
        m_deleteQso->setToolTip(u"Delete this QSO from the log - Right-click to undelete"_s);
        break;
    case DeleteCaption::PreviousQso:
        m_deleteQso->setText(u"&Previous QSO"_s);
        m_deleteQso->setToolTip(u"Search previous QSO with this station"_s);
        break;
    }
}

void TerminalTab::setKeypadIndicator(bool on)
{
    m_keypadIndicator->setVisible(on);
}

bool TerminalTab::keypadIndicator() const
{
    return !m_keypadIndicator->isHidden();
}

void TerminalTab::setTuneLatched(bool latched)
{
    m_tuneLatched = latched;
    m_tune->setChecked(latched);
}

void TerminalTab::setTuneEnabled(bool on)
{
    m_tune->setEnabled(on);
}

void TerminalTab::setScrollEnabled(bool on)
{
    m_editQso->setEnabled(on);
    m_scroll->setEnabled(on);
}

void TerminalTab::focusSendBuffer()
{
    if (!m_mill && isVisible())
        m_sendBuffer->setFocus();
}

bool TerminalTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const bool onMonitor = watched == m_monitor->viewport();
        const bool onSendBuffer = watched == m_sendBuffer->viewport();
        if (watched == m_tune) {
            emit tunePressed(mouse->button() == Qt::LeftButton);
            return true;
        }
        if (watched == m_deleteQso && mouse->button() == Qt::RightButton) {
            emit undeleteRequested();
            return true;
        }
        if (onMonitor || onSendBuffer) {
            if (onMonitor && mouse->button() != Qt::LeftButton)
                return false;
            const Qt::KeyboardModifiers mods = mouse->modifiers();
            if (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
                if (mods & Qt::ShiftModifier) {
                    if (m_fontSize <= 23)
                        setMonitorFontSize(m_fontSize + 1);
                } else if (mods & Qt::ControlModifier) {
                    if (m_fontSize >= 9)
                        setMonitorFontSize(m_fontSize - 1);
                } else {
                    setMonitorFontSize(DefaultFontSize);
                }
                emit fontSizeChanged(m_fontSize);
                return true;
            }
            if (!m_sending && onMonitor != m_mill)
                emit millKeyboardRequested(onMonitor);
        }
    }
    if (watched == m_sendBuffer && event->type() == QEvent::FocusIn && m_mill)
        m_monitor->setFocus();
    if (watched == m_serialNumber && event->type() == QEvent::FocusOut)
        emit serialNumberLeft();
    return QWidget::eventFilter(watched, event);
}
