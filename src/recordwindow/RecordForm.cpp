#include "recordwindow/RecordForm.h"

#include "look/WindowLook.h"
#include "record/RecordFile.h"
#include "record/RowLookup.h"
#include "recordprint/RecordPrint.h"
#include "recordwindow/FindingsTable.h"
#include "recordwindow/RecordFileQuestions.h"
#include "recordwindow/RecordRecovery.h"
#include "recordwindow/VerdictLook.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QUndoStack>

#include <algorithm>

namespace veltrano {

using namespace findings;

using record::Finding;
using record::FindingVerdict;
using record::Judgement;
using record::Record;
using record::Verdict;
using record::Weld;
using record::WrittenNumber;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string ss(const QString& s)
{
    return s.toStdString();
}

WrittenNumber typedNumber(const QString& text)
{
    return WrittenNumber::typed(ss(text.trimmed()));
}

std::optional<std::string> optionalText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    return ss(t);
}

// The date of the header as a German reader writes it, and back to the
// ISO 8601 date of the file.
QString dateShown(const std::optional<std::string>& iso)
{
    if (!iso)
        return {};
    const QString s = qs(*iso);
    if (const QDate d = QDate::fromString(s, Qt::ISODate); d.isValid())
        return d.toString(QStringLiteral("dd.MM.yyyy"));
    return s;
}

std::optional<std::string> dateTyped(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (const QDate d = QDate::fromString(t, QStringLiteral("d.M.yyyy")); d.isValid())
        return ss(d.toString(Qt::ISODate));
    // A two-digit year is of this century.
    if (const QDate d = QDate::fromString(t, QStringLiteral("d.M.yy")); d.isValid())
        return ss(d.addYears(100).toString(Qt::ISODate));
    return ss(t);
}

bool sameRecord(const Record& a, const Record& b)
{
    return record::serializeRecord(a) == record::serializeRecord(b);
}

} // namespace

// One step of the undo stack: the record before and after, and which weld
// and finding were selected.
class RecordEdit : public QUndoCommand {
public:
    RecordEdit(TRecordForm& form, const QString& text, Record before, Record after, int weldBefore, int weldAfter,
               int findingBefore, int findingAfter)
        : QUndoCommand(text)
        , m_form(form)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_weldBefore(weldBefore)
        , m_weldAfter(weldAfter)
        , m_findingBefore(findingBefore)
        , m_findingAfter(findingAfter)
    {
    }
    void redo() override { m_form.setState(m_after, m_weldAfter, m_findingAfter); }
    void undo() override { m_form.setState(m_before, m_weldBefore, m_findingBefore); }

private:
    TRecordForm& m_form;
    Record m_before, m_after;
    int m_weldBefore, m_weldAfter, m_findingBefore, m_findingAfter;
};

// ---------------------------------------------------------------------------
// Construction

TRecordForm::TRecordForm(std::filesystem::path catalogueFile, WeldSource mainWindowWeld, QWidget* parent)
    : QMainWindow(parent)
    , m_catalogue(std::move(catalogueFile))
    , m_mainWindowWeld(std::move(mainWindowWeld))
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("RecordForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    m_printer->setDocName(recordprint::kRecordPrintTitle);
    m_printer->setPageSize(QPageSize(QPageSize::A4));

    QString catalogueProblem;
    try {
        m_catalogue.Open();
    } catch (const CatalogueError& e) {
        catalogueProblem = QString::fromLocal8Bit(e.what());
    }
    m_rows = std::make_unique<record::CatalogueRowsOf<Catalogue>>(m_catalogue);

    m_undo = new QUndoStack(this);
    buildMenu();
    buildClientArea();
    connectFields();
    statusBar()->setObjectName(QStringLiteral("RecordStatusBar"));
    if (!catalogueProblem.isEmpty())
        statusBar()->showMessage(
            QStringLiteral("Der Katalog fehlt, es gibt keine Grenzwerte: %1").arg(catalogueProblem));

    connect(m_undo, &QUndoStack::cleanChanged, this, [this] { updateTitle(); });
    connect(m_undo, &QUndoStack::indexChanged, this, [this] { writeRecovery(); });
    refresh();
    QSize size(1100, 760);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);
}

TRecordForm::~TRecordForm()
{
    // No handler may run on a half-destroyed window.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

bool TRecordForm::eventFilter(QObject* watched, QEvent* event)
{
    // Enter takes a field over and goes on to the next one.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (const auto it = m_commits.find(w); it != m_commits.end())
                it->second();
            if (auto* box = qobject_cast<QComboBox*>(w); box && box->view()->isVisible())
                return false; // Enter chooses in the open list
            focusNextChild();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// State, verdicts and display

bool TRecordForm::isModified() const
{
    return !m_undo->isClean();
}

void TRecordForm::edit(const QString& what, const std::function<void(Record&)>& change, int weldAfter, int findingAfter)
{
    if (m_checkOnly)
        return;
    Record after = m_record;
    change(after);
    if (sameRecord(after, m_record))
        return;
    const QModelIndex current = FindingsView->currentIndex();
    m_undo->push(new RecordEdit(*this, what, m_record, std::move(after), m_weld, weldAfter == -2 ? m_weld : weldAfter,
                                current.isValid() ? current.row() : -1,
                                findingAfter >= 0 ? findingAfter : (current.isValid() ? current.row() : -1)));
}

void TRecordForm::setState(const Record& r, int weld, int finding)
{
    const bool sameShape = weld == m_weld && m_weld >= 0 && m_weld < static_cast<int>(m_record.welds.size()) &&
                           weld < static_cast<int>(r.welds.size()) &&
                           r.welds[static_cast<std::size_t>(weld)].findings.size() ==
                               m_record.welds[static_cast<std::size_t>(m_weld)].findings.size();
    if (!sameShape) {
        m_badCells.clear();
    }
    m_record = r;
    m_weld = r.welds.empty() ? -1 : std::clamp(weld, 0, static_cast<int>(r.welds.size()) - 1);
    refresh();
    if (finding >= 0 && finding < m_model->rowCount()) {
        const QModelIndex current = FindingsView->currentIndex();
        if (!current.isValid() || current.row() != finding)
            FindingsView->setCurrentIndex(m_model->index(finding, current.isValid() ? current.column() : 0));
    }
}

void TRecordForm::showVerdict(QLabel* label, Verdict verdict, const QString& text)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, verdictBackground(verdict));
    p.setColor(QPalette::WindowText, verdictForeground(verdict));
    label->setPalette(p);
    label->setText(text);
    label->setAccessibleDescription(text);
}

void TRecordForm::refresh()
{
    m_refreshing = true;
    m_verdict = record::judgeRecord(m_record, *m_rows, ",");
    showVerdict(RecordVerdictLabel, m_verdict.verdict,
                QStringLiteral("Protokoll: %1 \u2013 %2").arg(verdictText(m_verdict.verdict), qs(m_verdict.reason)));

    const record::Inspection& h = m_record.inspection;
    auto set = [](QLineEdit* e, const QString& text) {
        if (!e->property("veltranoBad").toBool() && e->text() != text)
            e->setText(text);
    };
    set(OrderEdit, h.order ? qs(*h.order) : QString());
    set(ComponentEdit, h.component ? qs(*h.component) : QString());
    set(DrawingEdit, h.drawing ? qs(*h.drawing) : QString());
    set(StandardEdit, h.standard ? qs(*h.standard) : QString());
    set(MethodEdit, h.method ? qs(*h.method) : QString());
    set(StageEdit, h.stage ? qs(*h.stage) : QString());
    set(InspectorEdit, h.inspector ? qs(*h.inspector) : QString());
    set(QualificationEdit, h.qualification ? qs(*h.qualification) : QString());
    set(DateEdit, dateShown(h.date));
    set(PlaceEdit, h.place ? qs(*h.place) : QString());
    set(RemarksEdit, h.remarks ? qs(*h.remarks) : QString());

    // The items are kept while the number of welds stays, so moving
    // through the list with the arrow keys is not disturbed.
    if (WeldList->count() != static_cast<int>(m_record.welds.size())) {
        WeldList->clear();
        for (std::size_t k = 0; k < m_record.welds.size(); ++k)
            new QListWidgetItem(WeldList);
    }
    for (std::size_t k = 0; k < m_record.welds.size(); ++k) {
        const Verdict v = k < m_verdict.welds.size() ? m_verdict.welds[k].verdict : Verdict::Open;
        QListWidgetItem* item = WeldList->item(static_cast<int>(k));
        item->setText(QStringLiteral("%1 \u2013 %2").arg(qs(m_record.welds[k].id), verdictText(v)));
        item->setBackground(verdictBackground(v));
        item->setForeground(verdictForeground(v));
    }
    if (WeldList->currentRow() != m_weld)
        WeldList->setCurrentRow(m_weld);
    refreshWeldFields();
    m_model->update();
    m_refreshing = false;
    updateTitle();
}

void TRecordForm::refreshWeldFields()
{
    const bool has = m_weld >= 0;
    for (QWidget* w : std::initializer_list<QWidget*>{WeldIdEdit, SeamBox, LevelBox, TEdit, LEdit, BEdit, BwEdit,
                                                      WelderTestBox, RailBridgeBox, WelderEdit, ProcessEdit,
                                                      WeldLocationEdit, WeldRemarksEdit, FindingsView, AddFindingButton,
                                                      RemoveFindingButton, DuplicateWeldButton, RemoveWeldButton})
        w->setEnabled(has);
    auto set = [](QLineEdit* e, const QString& text) {
        if (!e->property("veltranoBad").toBool() && e->text() != text)
            e->setText(text);
    };
    if (!has) {
        for (QLineEdit* e :
             {WeldIdEdit, TEdit, LEdit, BEdit, BwEdit, WelderEdit, ProcessEdit, WeldLocationEdit, WeldRemarksEdit})
            set(e, {});
        showVerdict(WeldVerdictLabel, Verdict::Open,
                    QStringLiteral("Keine Naht gewählt \u2013 mit »Neue Naht« eine anlegen"));
        return;
    }
    const Weld& w = m_record.welds[static_cast<std::size_t>(m_weld)];
    const record::WeldVerdict& wv = m_verdict.welds[static_cast<std::size_t>(m_weld)];
    showVerdict(WeldVerdictLabel, wv.verdict,
                QStringLiteral("Naht %1: %2 \u2013 %3").arg(qs(w.id), verdictText(wv.verdict), qs(wv.reason)));
    set(WeldIdEdit, qs(w.id));
    SeamBox->setCurrentIndex(w.seam == SeamType::Fillet ? 1 : 0);
    LevelBox->setCurrentIndex(static_cast<int>(w.level) - 1);
    set(TEdit, numberText(w.t));
    set(LEdit, numberText(w.l));
    set(BEdit, numberText(w.b));
    set(BwEdit, numberText(w.bw));
    WelderTestBox->setChecked(w.welderTest.value_or(false));
    RailBridgeBox->setChecked(w.railBridge.value_or(false));
    set(WelderEdit, w.welder ? qs(*w.welder) : QString());
    set(ProcessEdit, w.process ? qs(*w.process) : QString());
    set(WeldLocationEdit, w.location ? qs(*w.location) : QString());
    set(WeldRemarksEdit, w.remarks ? qs(*w.remarks) : QString());
    // A fillet weld is measured by its throat thickness a.
    TEdit->setAccessibleName(w.seam == SeamType::Fillet ? QStringLiteral("Kehlnahtdicke a in mm")
                                                        : QStringLiteral("Materialdicke t in mm"));
}

void TRecordForm::updateTitle()
{
    const QString name = m_file.isEmpty() ? QStringLiteral("Neues Protokoll") : QFileInfo(m_file).fileName();
    setWindowTitle(QStringLiteral("%1 \u2013 %2[*]").arg(kRecordWindowTitle, name));
    setWindowModified(isModified());
}

// ---------------------------------------------------------------------------
// Entries

QString TRecordForm::problemOf(const Record& candidate) const
{
    try {
        record::validateRecord(candidate);
    } catch (const record::RecordError& e) {
        return qs(e.message());
    }
    return {};
}

void TRecordForm::markField(QWidget* field, const QString& reason)
{
    const bool bad = !reason.isEmpty();
    field->setProperty("veltranoBad", bad);
    field->setStyleSheet(bad ? QStringLiteral("background-color: #ffd6d6; border: 2px solid #b00000;") : QString());
    field->setToolTip(reason);
    field->setAccessibleDescription(reason);
    if (bad)
        statusBar()->showMessage(reason);
    else if (field->hasFocus())
        statusBar()->clearMessage();
}

void TRecordForm::commitHeaderField(QLineEdit* field, std::optional<std::string> record::Inspection::*member)
{
    const auto value = optionalText(field->text());
    markField(field, {});
    edit(QStringLiteral("Kopfdaten ändern"), [&](Record& r) { r.inspection.*member = value; });
}

void TRecordForm::commitDate()
{
    Record candidate = m_record;
    candidate.inspection.date = dateTyped(DateEdit->text());
    const QString problem = problemOf(candidate);
    markField(DateEdit, problem.isEmpty() ? QString() : QStringLiteral("Prüfdatum: %1").arg(problem));
    if (problem.isEmpty())
        edit(QStringLiteral("Prüfdatum ändern"), [&](Record& r) { r = candidate; });
}

void TRecordForm::commitWeldText(QLineEdit* field, std::optional<std::string> Weld::*member)
{
    if (m_weld < 0)
        return;
    const auto value = optionalText(field->text());
    edit(QStringLiteral("Naht ändern"), [&](Record& r) { r.welds[static_cast<std::size_t>(m_weld)].*member = value; });
}

void TRecordForm::commitWeldId()
{
    if (m_weld < 0)
        return;
    Record candidate = m_record;
    candidate.welds[static_cast<std::size_t>(m_weld)].id = ss(WeldIdEdit->text().trimmed());
    const QString problem = problemOf(candidate);
    markField(WeldIdEdit, problem.isEmpty() ? QString() : QStringLiteral("Kennung: %1").arg(problem));
    if (problem.isEmpty())
        edit(QStringLiteral("Kennung ändern"), [&](Record& r) { r = candidate; });
}

void TRecordForm::commitDimension(QLineEdit* field, WrittenNumber Weld::*member)
{
    if (m_weld < 0)
        return;
    Record candidate = m_record;
    Weld& w = candidate.welds[static_cast<std::size_t>(m_weld)];
    const WrittenNumber typed = typedNumber(field->text());
    // The same value written as before keeps its spelling in the file.
    if (typed.value() && (w.*member).value() && *typed.value() == *(w.*member).value()) {
        markField(field, {});
        return;
    }
    w.*member = typed;
    const QString problem = problemOf(candidate);
    markField(field, problem.isEmpty() ? QString() : QStringLiteral("%1: %2").arg(field->accessibleName(), problem));
    if (problem.isEmpty())
        edit(QStringLiteral("Maß ändern"), [&](Record& r) { r = candidate; });
}

std::vector<int> TRecordForm::offeredRows() const
{
    if (m_weld < 0)
        return {};
    return record::offeredRows(m_record.welds[static_cast<std::size_t>(m_weld)], *m_rows);
}

QString TRecordForm::rowTitle(int row) const
{
    return qs(record::rowTitle(row, *m_rows));
}

const Weld* TRecordForm::shownWeld() const
{
    return m_weld >= 0 && m_weld < static_cast<int>(m_record.welds.size())
               ? &m_record.welds[static_cast<std::size_t>(m_weld)]
               : nullptr;
}

const FindingVerdict* TRecordForm::findingVerdict(int row) const
{
    const auto& verdicts = m_verdict.welds;
    if (m_weld < 0 || m_weld >= static_cast<int>(verdicts.size()) || row < 0 ||
        row >= static_cast<int>(verdicts[static_cast<std::size_t>(m_weld)].findings.size()))
        return nullptr;
    return &verdicts[static_cast<std::size_t>(m_weld)].findings[static_cast<std::size_t>(row)];
}

QString TRecordForm::badCell(int row, int column) const
{
    const auto it = m_badCells.find({m_weld, row, column});
    return it == m_badCells.end() ? QString() : it->second.text;
}

QString TRecordForm::badReason(int row, int column) const
{
    const auto it = m_badCells.find({m_weld, row, column});
    return it == m_badCells.end() ? QString() : it->second.reason;
}

bool TRecordForm::setFindingCell(int row, int column, const QString& text)
{
    if (m_weld < 0 || row < 0 ||
        row >= static_cast<int>(m_record.welds[static_cast<std::size_t>(m_weld)].findings.size()))
        return false;
    Record candidate = m_record;
    Finding& f = candidate.welds[static_cast<std::size_t>(m_weld)].findings[static_cast<std::size_t>(row)];
    const QString t = text.trimmed();
    QString problem;
    switch (column) {
    case ColRow:
        // By the title offered, by the record number, by a reference number
        // or by a part of the name: the first row of this weld that fits.
        if (const int chosen = record::matchRow(ss(t), offeredRows(), *m_rows))
            f.record = chosen;
        else
            problem = QStringLiteral("Keine Katalogzeile für diese Naht passt zu »%1«").arg(t);
        break;
    case ColValue:
        f.value = typedNumber(t);
        break;
    case ColLength:
        f.length = t.isEmpty() ? std::nullopt : std::optional<WrittenNumber>(typedNumber(t));
        break;
    case ColLocation:
        f.location = optionalText(t);
        break;
    case ColRemark:
        f.remark = optionalText(t);
        break;
    case ColJudgement:
        f.judgement = judgementOf(t);
        break;
    default:
        return false;
    }
    if (problem.isEmpty())
        problem = problemOf(candidate);
    const std::tuple<int, int, int> key{m_weld, row, column};
    if (!problem.isEmpty()) {
        m_badCells[key] = {text, problem};
        statusBar()->showMessage(problem);
        m_model->update();
        return true;
    }
    m_badCells.erase(key);
    if (sameRecord(candidate, m_record))
        m_model->update();
    else
        edit(QStringLiteral("Befund ändern"), [&](Record& r) { r = candidate; });
    return true;
}

// ---------------------------------------------------------------------------
// Welds and findings

namespace {

std::string uniqueId(const Record& r, const std::string& stem)
{
    auto taken = [&](const std::string& id) {
        return std::any_of(r.welds.begin(), r.welds.end(), [&](const Weld& w) { return w.id == id; });
    };
    for (int n = 1;; ++n) {
        const std::string id = stem + std::to_string(n);
        if (!taken(id))
            return id;
    }
}

} // namespace

void TRecordForm::addWeld()
{
    Weld w;
    w.id = uniqueId(m_record, "N");
    w.seam = SeamType::Butt;
    w.level = QualityLevel::B;
    // The main window's starting weld.
    w.t = WrittenNumber{"10", false};
    w.l = WrittenNumber{"100", false};
    w.b = WrittenNumber{"12", false};
    w.bw = WrittenNumber{"2", false};
    const int index = static_cast<int>(m_record.welds.size());
    edit(
        QStringLiteral("Naht hinzufügen"), [&](Record& r) { r.welds.push_back(w); }, index);
    WeldIdEdit->setFocus();
    WeldIdEdit->selectAll();
}

void TRecordForm::duplicateWeld()
{
    if (m_weld < 0)
        return;
    Weld w = m_record.welds[static_cast<std::size_t>(m_weld)];
    w.id = uniqueId(m_record, w.id + "-");
    const int index = m_weld + 1;
    edit(
        QStringLiteral("Naht duplizieren"), [&](Record& r) { r.welds.insert(r.welds.begin() + index, w); }, index);
}

void TRecordForm::removeWeld()
{
    if (m_weld < 0)
        return;
    const int index = m_weld;
    edit(
        QStringLiteral("Naht entfernen"), [&](Record& r) { r.welds.erase(r.welds.begin() + index); },
        std::min(index, static_cast<int>(m_record.welds.size()) - 2));
}

void TRecordForm::takeOverMainWindowWeld()
{
    const std::optional<Weld> from = m_mainWindowWeld ? m_mainWindowWeld() : std::nullopt;
    if (!from) {
        QMessageBox::information(this, kRecordWindowTitle,
                                 QStringLiteral("Im Hauptfenster ist keine Naht beschrieben: Nahtart und "
                                                "Bewertungsgruppe wählen."));
        return;
    }
    if (m_weld < 0) {
        Weld w = *from;
        w.id = uniqueId(m_record, "N");
        edit(
            QStringLiteral("Naht aus Hauptfenster übernehmen"), [&](Record& r) { r.welds.push_back(w); },
            static_cast<int>(m_record.welds.size()));
        return;
    }
    edit(QStringLiteral("Naht aus Hauptfenster übernehmen"), [&](Record& r) {
        Weld& w = r.welds[static_cast<std::size_t>(m_weld)];
        w.seam = from->seam;
        w.level = from->level;
        w.t = from->t;
        w.l = from->l;
        w.b = from->b;
        w.bw = from->bw;
        w.welderTest = from->welderTest;
        w.railBridge = from->railBridge;
    });
    for (QLineEdit* e : {TEdit, LEdit, BEdit, BwEdit})
        markField(e, {});
    refreshWeldFields();
}

void TRecordForm::addFinding()
{
    if (m_weld < 0)
        return;
    const std::vector<int> offered = offeredRows();
    Finding f;
    f.record = offered.empty() ? 1 : offered.front();
    f.value = WrittenNumber{"0", false};
    const int row = static_cast<int>(m_record.welds[static_cast<std::size_t>(m_weld)].findings.size());
    edit(
        QStringLiteral("Befund hinzufügen"),
        [&](Record& r) { r.welds[static_cast<std::size_t>(m_weld)].findings.push_back(f); }, m_weld, row);
    // The inspector goes on with the catalogue row of the new finding.
    const QModelIndex first = m_model->index(row, ColRow);
    FindingsView->setFocus();
    FindingsView->setCurrentIndex(first);
    FindingsView->edit(first);
}

void TRecordForm::removeFinding()
{
    if (m_weld < 0)
        return;
    const QModelIndex current = FindingsView->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row();
    const int count = static_cast<int>(m_record.welds[static_cast<std::size_t>(m_weld)].findings.size());
    edit(
        QStringLiteral("Befund entfernen"),
        [&](Record& r) {
            auto& findings = r.welds[static_cast<std::size_t>(m_weld)].findings;
            findings.erase(findings.begin() + row);
        },
        m_weld, std::min(row, count - 2));
    FindingsView->setFocus();
}

// ---------------------------------------------------------------------------
// Printing

QString TRecordForm::catalogueSha256() const
{
    return qs(recordprint::fileSha256(m_catalogue.file()));
}

std::vector<recordprint::PrintPage> TRecordForm::printPages() const
{
    recordprint::RecordPrintInfo info;
    info.programVersion = recordprint::programVersion();
    info.catalogueSha256 = catalogueSha256();
    info.printed = QDateTime::currentDateTime();
    info.fileName = m_file.isEmpty() ? QString() : QDir::toNativeSeparators(m_file);
    return recordprint::layoutRecord(m_record, m_verdict, *m_rows, info);
}

void TRecordForm::preview()
{
    QPrintPreviewDialog dialog(m_printer.get(), this);
    dialog.setWindowTitle(QStringLiteral("Seitenansicht \u2013 Prüfprotokoll"));
    const auto pages = printPages();
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&pages, this](QPrinter* printer) {
        QString error;
        if (!recordprint::printRecord(*printer, pages, &error))
            QMessageBox::warning(this, kRecordWindowTitle, error);
    });
    dialog.resize(size());
    dialog.exec();
}

void TRecordForm::print()
{
    QPrintDialog dialog(m_printer.get(), this);
    const auto pages = printPages();
    dialog.setMinMax(1, static_cast<int>(pages.size()));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!recordprint::printRecord(*m_printer, pages, &error))
        QMessageBox::warning(this, kRecordWindowTitle, error);
}

void TRecordForm::saveAsPdf()
{
    const QString base =
        m_file.isEmpty()
            ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(suggestedFileName())
            : m_file;
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Als PDF speichern"),
                                                QFileInfo(base).absolutePath() + QLatin1Char('/') +
                                                    QFileInfo(base).completeBaseName() + QStringLiteral(".pdf"),
                                                QStringLiteral("PDF-Dateien (*.pdf)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    // The PDF never takes the place of the record it prints (also not
    // through a link or a second name).
    if (!m_file.isEmpty() && QFileInfo::exists(file) &&
        QFileInfo(file).canonicalFilePath() == QFileInfo(m_file).canonicalFilePath()) {
        QMessageBox::warning(this, kRecordWindowTitle,
                             QStringLiteral("»%1« ist die Datei des Prüfprotokolls selbst; das PDF würde sie "
                                            "ersetzen. Es wurde nichts geschrieben.")
                                 .arg(QFileInfo(file).fileName()));
        return;
    }
    QString error;
    if (!recordprint::writeRecordPdf(file, m_record, m_verdict, *m_rows, ss(catalogueSha256()), &error, m_file))
        QMessageBox::warning(this, kRecordWindowTitle, error);
}

} // namespace veltrano
