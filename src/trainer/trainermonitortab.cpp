#include "trainermonitortab.h"

#include "copyscorepanel.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TrainerMonitorTab::TrainerMonitorTab(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"fraMonitorFrame"_s);
    QFont fixed(u"Lucida Console"_s);
    if (!QFontInfo(fixed).exactMatch())
        fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    m_monitor = new QPlainTextEdit;
    m_monitor->setObjectName(u"txtMonitorText"_s);
    m_monitor->setReadOnly(true);
    m_monitor->setUndoRedoEnabled(false);
    m_monitor->setFont(fixed);
    m_monitor->setToolTip(tr("What the keyer keys and sounds"));
    m_monitorText = std::make_unique<MonitorText>(m_monitor);
    m_millText = new QPlainTextEdit;
    m_millText->setObjectName(u"txtMillText"_s);
    m_millText->setFont(fixed);
    m_millText->setPlaceholderText(tr("Write down what you hear"));
    m_score = new CopyScorePanel;
    // A copy is scored once; writing on makes it a new one.
    connect(m_millText, &QPlainTextEdit::textChanged, this,
            [this] { m_score->setCopyReady(!m_millText->document()->isEmpty()); });
    connect(m_score, &CopyScorePanel::scoreClicked, this,
            [this] { m_score->score(monitorText(), m_millText->toPlainText()); });
    setFontSize(DefaultFontSize);

    const auto button = [this](const QString &name, const QString &caption, const QString &tip) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_hideShow = button(u"btnHideShow"_s, u"&Hide"_s, tr("Hide or show the monitor"));
    QPushButton *save = button(u"btnSaveMonitor"_s, u"&Save"_s, tr("Save the monitor text in an audit file"));
    QPushButton *review = button(u"btnShowRecording"_s, u"&Review"_s, u"Show previously saved Monitor files"_s);
    QPushButton *clear = button(u"btnClearMonitor"_s, u"&Clear"_s, tr("Clear the monitor and the copy box"));
    QPushButton *smaller = button(u"btnFontDown"_s, u"A\u2212"_s, u"Smaller Font"_s);
    QPushButton *larger = button(u"btnFontUp"_s, u"A+"_s, u"Larger Font"_s);
    m_ctrl = new QLabel(u"Ctrl"_s);
    m_ctrl->setObjectName(u"lblCtrl"_s);
    m_ctrl->setToolTip(tr("The top-row digits and = - . / , act as the keypad; press Ctrl to switch"));
    m_ctrl->setStyleSheet(u"QLabel { color: white; background: #2a6; padding: 1px 6px; border-radius: 3px; }"_s);
    m_ctrl->hide();

    connect(m_hideShow, &QPushButton::clicked, this, [this] { setMonitorShown(!monitorShown()); });
    connect(save, &QPushButton::clicked, this, &TrainerMonitorTab::saveClicked);
    connect(review, &QPushButton::clicked, this, &TrainerMonitorTab::reviewClicked);
    connect(clear, &QPushButton::clicked, this, &TrainerMonitorTab::clearBoth);
    connect(smaller, &QPushButton::clicked, this, [this] {
        if (m_fontSize >= 9) {
            setFontSize(m_fontSize - 1);
            emit fontSizeChanged(m_fontSize);
        }
    });
    connect(larger, &QPushButton::clicked, this, [this] {
        if (m_fontSize <= 23) {
            setFontSize(m_fontSize + 1);
            emit fontSizeChanged(m_fontSize);
        }
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(tr("Monitor")));
    buttons->addWidget(m_ctrl);
    buttons->addStretch();
    for (QPushButton *b : {smaller, larger, m_hideShow, save, review, clear})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_monitor, 3);
    auto *copy = new QVBoxLayout;
    copy->addWidget(new QLabel(tr("Copy")));
    copy->addWidget(m_millText, 1);
    auto *copyRow = new QHBoxLayout;
    copyRow->addLayout(copy, 2);
    copyRow->addWidget(m_score, 3);
    layout->addLayout(copyRow, 3);
}

qsizetype TrainerMonitorTab::monitorLength() const
{
    return m_monitorText->length();
}

QString TrainerMonitorTab::monitorText() const
{
    return m_monitorText->text();
}

void TrainerMonitorTab::monitorAppend(const QString &text)
{
    m_monitorText->append(text);
}

void TrainerMonitorTab::monitorNewLine()
{
    m_monitorText->newLine();
}

void TrainerMonitorTab::monitorClear()
{
    m_monitorText->clear();
}

void TrainerMonitorTab::clearBoth()
{
    m_monitorText->clear();
    m_millText->clear();
}

bool TrainerMonitorTab::monitorShown() const
{
    return !m_monitor->isHidden();
}

void TrainerMonitorTab::setMonitorShown(bool shown)
{
    m_monitor->setVisible(shown);
    m_hideShow->setText(shown ? u"&Hide"_s : u"S&how"_s);
}

void TrainerMonitorTab::setFontSize(double points)
{
    m_fontSize = points;
    for (QPlainTextEdit *box : {m_monitor, m_millText}) {
        QFont font = box->font();
        font.setPointSizeF(points);
        box->setFont(font);
    }
}

bool TrainerMonitorTab::keypadMode() const
{
    return !m_ctrl->isHidden();
}

void TrainerMonitorTab::toggleKeypadMode()
{
    m_ctrl->setVisible(m_ctrl->isHidden());
}
