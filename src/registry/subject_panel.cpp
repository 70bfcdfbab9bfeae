#include "registry/subject_panel.h"

#include "registry/field_rules.h"
#include "registry/number_line_edit.h"
#include "registry/subject_change_fields.h"
#include "registry/subject_store.h"
#include "registry/upper_case_line_edit.h"
#include "shell/message_boxes.h"
#include "shell/shell.h"
#include "widgets/clickable_label.h"
#include "widgets/data_grid.h"
#include "widgets/date_box.h"
#include "widgets/typed_values.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kEmptyFieldTitle = QStringLiteral("ERRORE - CAMPO   VUOTO");
const QString kDeleteTitle = QStringLiteral("Velarco - ELIMINA SOGGETTO");
const QString kInsertMode = QStringLiteral("Inserisci");
const QString kChangeMode = QStringLiteral("Modifica");
const QString kDeleteMode = QStringLiteral("Elimina");

template <typename T> T* named(const char* name, QWidget* parent) {
    auto* widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

SubjectPanel::SubjectPanel(Shell& shell, QWidget* parent)
    : QGroupBox(QStringLiteral("Inserimento "), parent), shell_(shell) {
    setObjectName(QStringLiteral("Frame1"));
    buildFields();
    connectMenus();
    new TypedValues(*this);
}

void SubjectPanel::buildFields() {
    Label17 = new QLabel(QStringLiteral("Dati Anagrafici"), this);
    Label17->setObjectName(QStringLiteral("Label17"));
    QFont strong = Label17->font();
    strong.setBold(true);
    Label17->setFont(strong);

    Text1 = named<QLineEdit>("Text1", this);
    // The key of the subject being changed or deleted comes from the grid only: a key
    // typed by hand would rewrite or delete some other subject.
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::ClickFocus);
    Text1->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    Text2 = named<UpperCaseLineEdit>("Text2", this);
    Text3 = named<UpperCaseLineEdit>("Text3", this);
    Text7 = named<NumberLineEdit>("Text7", this);
    Text5 = named<UpperCaseLineEdit>("Text5", this);
    Text6 = named<UpperCaseLineEdit>("Text6", this);
    Text8 = named<UpperCaseLineEdit>("Text8", this);
    Text9 = named<NumberLineEdit>("Text9", this);
    DataBox1 = named<DateBox>("DataBox1", this);
    DataBox1->setShortYears(DateBox::ShortYears::MostRecentPast);
    Text10 = named<UpperCaseLineEdit>("Text10", this);
    Text11 = named<UpperCaseLineEdit>("Text11", this);
    Text12 = named<UpperCaseLineEdit>("Text12", this);
    Text24 = named<UpperCaseLineEdit>("Text24", this);
    Text24->setMaxLength(2);
    Text25 = named<NumberLineEdit>("Text25", this);
    Text25->setMaxLength(2);
    Check1 = new QCheckBox(QStringLiteral("Utente"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Cmd2 = new QPushButton(kInsertMode, this);
    Cmd2->setObjectName(QStringLiteral("Cmd2"));
    ClickableLabel* Image3 = makeClosePicture("Image3", this);

    const int shortWidth = fontMetrics().horizontalAdvance(QStringLiteral("MMMMM"));
    for (QLineEdit* province : {static_cast<QLineEdit*>(Text6), static_cast<QLineEdit*>(Text11)})
        province->setMaximumWidth(shortWidth);
    for (QLineEdit* code : {static_cast<QLineEdit*>(Text24), static_cast<QLineEdit*>(Text25)})
        code->setMaximumWidth(shortWidth);
    Text7->setMaximumWidth(shortWidth * 2);

    auto* grid = new QGridLayout(this);
    auto label = [this, grid](const QString& caption, QWidget* field, int row, int column) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(field);
        grid->addWidget(l, row, column, Qt::AlignRight | Qt::AlignVCenter);
    };
    grid->addWidget(Label17, 0, 0, 1, 4);
    grid->addWidget(Image3, 0, 5, Qt::AlignRight | Qt::AlignTop);
    label(QStringLiteral("ID"), Text1, 1, 0);
    grid->addWidget(Text1, 1, 1, Qt::AlignLeft);
    label(QStringLiteral("Denominazione\\Cognome Nome"), Text2, 2, 0);
    grid->addWidget(Text2, 2, 1, 1, 5);
    label(QStringLiteral("Indirizzo"), Text3, 3, 0);
    grid->addWidget(Text3, 3, 1, 1, 5);
    label(QStringLiteral("CAP"), Text7, 4, 0);
    grid->addWidget(Text7, 4, 1, Qt::AlignLeft);
    label(QStringLiteral("Città"), Text5, 4, 2);
    grid->addWidget(Text5, 4, 3);
    label(QStringLiteral("Pr"), Text6, 4, 4);
    grid->addWidget(Text6, 4, 5, Qt::AlignLeft);
    label(QStringLiteral("Codice Fiscale"), Text8, 5, 0);
    grid->addWidget(Text8, 5, 1);
    label(QStringLiteral("Partita IVA"), Text9, 5, 2);
    grid->addWidget(Text9, 5, 3);
    label(QStringLiteral("Data Nascita"), DataBox1, 6, 0);
    grid->addWidget(DataBox1, 6, 1);
    label(QStringLiteral("Luogo"), Text10, 6, 2);
    grid->addWidget(Text10, 6, 3);
    label(QStringLiteral("Pr"), Text11, 6, 4);
    grid->addWidget(Text11, 6, 5, Qt::AlignLeft);
    label(QStringLiteral("Annotazione"), Text12, 7, 0);
    grid->addWidget(Text12, 7, 1, 1, 5);
    label(QStringLiteral("Causale attestazione"), Text24, 8, 0);
    grid->addWidget(Text24, 8, 1, Qt::AlignLeft);
    label(QStringLiteral("Codice somme non soggette"), Text25, 8, 2);
    grid->addWidget(Text25, 8, 3, Qt::AlignLeft);
    grid->addWidget(Check1, 9, 1);
    grid->addWidget(Cmd2, 9, 3, 1, 3, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(10, 1);

    // The order a form is filled in: name, address, then the tax data and birth.
    QWidget* order[] = {Text2,  Text3,  Text7,  Text5,  Text6,  Text8,  Text9, DataBox1,
                        Text10, Text11, Text12, Text24, Text25, Check1, Cmd2};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Image3, &ClickableLabel::clicked, this, [this] {
        hide();
        shell_.resumeWork();
    });
    connect(Cmd2, &QPushButton::clicked, this, &SubjectPanel::pressCmd2);
    for (NumberLineEdit* number : {Text7, Text9})
        connect(number, &NumberLineEdit::keyRefused, this, [this] { Text6->setFocus(); });
    connect(DataBox1, &DateBox::invalidDate, this, [this] {
        shell_.boxes().plain(QStringLiteral("Data non valida"));
        DataBox1->invalidDateHandled();
    });
}

void SubjectPanel::connectMenus() {
    connect(shell_.action("Inserisci"), &QAction::triggered, this, &SubjectPanel::onInserisci);
    connect(shell_.action("Modifica"), &QAction::triggered, this,
            [this] { openSubjectChoice(GridPick::ChangeSubject); });
    connect(shell_.action("Elimina"), &QAction::triggered, this,
            [this] { openSubjectChoice(GridPick::DeleteSubject); });
}

void SubjectPanel::onInserisci() {
    // The fields are not emptied: what they hold is the starting content.
    shell_.setPanelsVisible({"Frame6", "Frame5"}, false);
    show();
    setTitle(kInsertMode);
    setMode(Mode::Insert);
    shell_.setPanelsVisible({"Frame2"}, false);
    shell_.setWorkMenusEnabled(false);
    Text2->setFocus();
}

void SubjectPanel::setMode(Mode mode) {
    mode_ = mode;
    Cmd2->setText(mode == Mode::Insert   ? kInsertMode
                  : mode == Mode::Change ? kChangeMode
                                         : kDeleteMode);
}

void SubjectPanel::openSubjectChoice(GridPick pick) {
    shell_.panel("Frame3")->show();
    shell_.setGridPick(pick);
    shell_.setPanelsVisible({"Frame1", "Frame2", "Frame5", "Frame6"}, false);
    shell_.setWorkMenusEnabled(false);
    CaricaGrigliaSoggetti();
}

void SubjectPanel::CaricaGrigliaSoggetti() {
    DataGrid& grid = shell_.selectionGrid();
    grid.unbind();
    const Status bound = grid.bind(registry::subjectGridQuery());
    if (!bound.ok()) {
        reportDatabaseError(bound.error());
        return;
    }
    grid.setColumnHidden(registry::ColumnId, true);
    grid.setColumnHidden(registry::ColumnVersion, true);
    grid.setColumnWidthTwips(registry::ColumnName, 4000);
    grid.setColumnWidthTwips(registry::ColumnPostalCode, 1000);
    grid.setColumnFormat(registry::ColumnBirthDate, &registry::birthDateText, Qt::AlignLeft);
    grid.widenColumnFor(registry::ColumnBirthDate, DataGrid::widestDate());
    // A codice fiscale has 16 letters and digits, a partita IVA 11 digits: always whole.
    grid.widenColumnFor(registry::ColumnTaxCode, QStringLiteral("WWWWWW00W00W000W"));
    grid.widenColumnFor(registry::ColumnVatNumber, QStringLiteral("00000000000"));
    grid.setExportTitle(QStringLiteral("Soggetti"));
    grid.setRowHistory(QStringLiteral("Soggetti"), QStringLiteral("Soggetto"), registry::ColumnName,
                       registry::subjectChangeFields());
    grid.setColumnKind(registry::ColumnBirthDate, table_export::CellKind::Date);
    grid.setColumnKind(registry::ColumnUser, table_export::CellKind::Flag);
}

void SubjectPanel::pickFromGrid(const DataGrid& grid) {
    fillFields([&grid](int column) { return grid.cellText(column); });
    show();
    shell_.setPanelsVisible({"Frame3"}, false);
    setMode(shell_.gridPick() == GridPick::DeleteSubject ? Mode::Delete : Mode::Change);
    Text2->setFocus();
}

void SubjectPanel::fillFields(const std::function<QString(int)>& cell) {
    Text1->setText(cell(registry::ColumnId));
    Text2->setText(cell(registry::ColumnName));
    Text3->setText(cell(registry::ColumnAddress));
    Text5->setText(cell(registry::ColumnTown));
    Text7->setText(cell(registry::ColumnPostalCode));
    Text6->setText(cell(registry::ColumnProvince));
    DataBox1->setText(cell(registry::ColumnBirthDate));
    Text10->setText(cell(registry::ColumnBirthPlace));
    Text11->setText(cell(registry::ColumnBirthProvince));
    Text8->setText(cell(registry::ColumnTaxCode));
    Text9->setText(cell(registry::ColumnVatNumber));
    Check1->setChecked(cell(registry::ColumnUser) == u"S");
    Text12->setText(cell(registry::ColumnNote));
    Text24->setText(cell(registry::ColumnCausale));
    Text25->setText(cell(registry::ColumnOtherSumsCode));
    bool known = false;
    const qint64 version = cell(registry::ColumnVersion).toLongLong(&known);
    loadedVersion_ = known ? std::optional<qint64>(version) : std::nullopt;
    TypedValues::of(*this)->reset();
}

bool SubjectPanel::offerReload(const Status& refused, const QString& title) {
    if (!refused.is(ErrorKind::ChangedMeanwhile))
        return false;
    if (!shell_.boxes().confirm(refused.error() + QStringLiteral(": nulla è stato scritto.\n"
                                                                 "Ricaricarlo con i dati attuali?"),
                                title))
        return true;
    const std::optional<qint64> id = registry::parseSubjectId(Text1->text());
    const Result<QVariantList> row = id ? registry::fetchSubjectRow(*id) : Result<QVariantList>{};
    if (!row.ok() || row.value.isEmpty()) {
        reportDatabaseError(row.ok() ? QStringLiteral("il soggetto non esiste più") : row.error());
        return true;
    }
    fillFields([&row](int c) {
        const QVariant value = row.value.value(c);
        return c == registry::ColumnBirthDate ? registry::birthDateText(value) : value.toString();
    });
    return true;
}

void SubjectPanel::openFromUserLabel() {
    loadedVersion_.reset();
    show();
    setTitle(kChangeMode);
    shell_.setPanelsVisible({"Frame2"}, false);
    shell_.setMenusEnabled({"Esci", "Anagrafica", "Ritenute", "Funzioni"}, false);
}

void SubjectPanel::pressCmd2() {
    switch (mode_) {
    case Mode::Insert:
        insertMode();
        break;
    case Mode::Change:
        changeMode();
        break;
    case Mode::Delete:
        deleteMode();
        break;
    }
}

bool SubjectPanel::checkFields() {
    MessageBoxes& boxes = shell_.boxes();
    // F5 runs the command from any panel: the focus goes to the empty field only when
    // the operator can see it, or it would vanish into the hidden panel.
    const auto focusShown = [](QWidget* field) {
        if (field->isVisible())
            field->setFocus();
    };
    if (Text2->text().trimmed().isEmpty()) {
        boxes.notice(QStringLiteral("Inserire il campo Denominazione!"), kEmptyFieldTitle);
        focusShown(Text2);
        return false;
    }
    if (Text8->text().trimmed().isEmpty()) {
        boxes.notice(QStringLiteral("Inserire il campo Codice Fiscale"), kEmptyFieldTitle);
        focusShown(Text8);
        return false;
    }
    if (Check1->isChecked())
        boxes.notice(QStringLiteral("Nel caso di inserimento/modifica di un Utente sarà "
                                    "necessario uscire e riselezionare l'Utente "),
                     QStringLiteral("ERRORE NON BLOCCANTE"));
    return true;
}

registry::Subject SubjectPanel::subjectFromFields() const {
    registry::Subject s;
    s.name = Text2->text();
    s.address = Text3->text();
    s.town = Text5->text();
    s.postalCode = Text7->text();
    s.province = Text6->text();
    // An empty or unreadable birth date is stored as no date; the row is still written.
    s.birthDate = DataBox1->date();
    s.birthPlace = Text10->text();
    s.birthProvince = Text11->text();
    s.taxCode = Text8->text();
    s.vatNumber = Text9->text();
    s.user = Check1->isChecked();
    s.note = Text12->text();
    s.causale = Text24->text();
    s.otherSumsCode = Text25->text();
    return s;
}

void SubjectPanel::reportDatabaseError(const QString& reason) {
    shell_.boxes().notice(QStringLiteral("Errore del database: ") + reason, blockingTitle());
}

void SubjectPanel::insertMode() {
    if (!checkFields())
        return;
    if (!shell_.boxes().confirm(QStringLiteral("Vuoi Inserire questi dati ?"),
                                QStringLiteral("Velarco - INSERIMENTO")))
        return;
    const Result<qint64> inserted = registry::insertSubject(subjectFromFields());
    if (!inserted.ok()) {
        reportDatabaseError(inserted.error());
        return;
    }
    shell_.boxes().notice(QStringLiteral("L' inserimento è avvenuto con successo !"));
    shell_.PulisciCampi();
    if (!Check1->isChecked())
        return; // the panel stays open, emptied, for the next subject
    // A user was registered: back to the selection, where the new user can be chosen.
    shell_.setMenusEnabled({"Funzioni"}, false);
    shell_.setMenusEnabled({"Esci"}, true);
    shell_.setMenusEnabled({"Anagrafica", "Ritenute", "Servizi"}, false);
    shell_.setPanelsVisible({"Frame2"}, true);
    shell_.CaricaAnni();
    shell_.CaricaUtenti();
    shell_.setPanelsVisible({"Frame4", "Frame3", "Frame1", "Frame5", "Frame6"}, false);
    Check1->setChecked(false);
}

void SubjectPanel::changeMode() {
    if (!checkFields())
        return;
    if (!shell_.boxes().confirm(QStringLiteral("Vuoi Modificare questi dati ?"),
                                QStringLiteral("Velarco - MODIFICA")))
        return;
    // A key that names no subject (any more) writes nothing and says why; the panel
    // keeps what the operator typed.
    const std::optional<qint64> id = registry::parseSubjectId(Text1->text());
    if (!id) {
        shell_.boxes().notice(QStringLiteral("La modifica non è avvenuta: nessun Soggetto "
                                             "scelto dall'elenco da modificare"),
                              blockingTitle());
        return;
    }
    const Result<bool> updated = registry::updateSubject(*id, subjectFromFields(), loadedVersion_);
    if (offerReload(updated.status, QStringLiteral("Velarco - MODIFICA")))
        return;
    if (!updated.ok()) {
        reportDatabaseError(updated.error());
        return;
    }
    if (!updated.value) {
        shell_.boxes().notice(
            QStringLiteral("La modifica non è avvenuta: il Soggetto con ID %1 non esiste più, "
                           "è stato eliminato nel frattempo")
                .arg(*id),
            blockingTitle());
        return;
    }
    shell_.boxes().notice(QStringLiteral("La modifica è avvenuta con successo !"));
    shell_.PulisciCampi();
    if (Check1->isChecked()) {
        hide();
        shell_.setPanelsVisible({"Frame2"}, true);
        shell_.setMenusEnabled({"Esci"}, true);
        shell_.CaricaAnni();
        shell_.CaricaUtenti();
    } else {
        Check1->setChecked(false);
        hide();
        shell_.resumeWork();
    }
}

void SubjectPanel::deleteMode() {
    EliminaSoggetto();
    hide();
    if (shell_.resumeWork({"Esci", "Anagrafica", "Ritenute"}))
        shell_.setMenusEnabled({"Funzioni"}, false);
}

void SubjectPanel::EliminaSoggetto() {
    MessageBoxes& boxes = shell_.boxes();
    if (!boxes.confirm(QStringLiteral("Sei sicuro di voler eliminare il Soggetto selezionato"),
                       kDeleteTitle))
        return;
    const std::optional<qint64> id = registry::parseSubjectId(Text1->text());
    const Result<bool> deleted = id ? registry::deleteSubject(*id, loadedVersion_) : Result<bool>{};
    if (offerReload(deleted.status, kDeleteTitle))
        return;
    if (!deleted.ok()) {
        reportDatabaseError(deleted.error());
        return;
    }
    if (!deleted.value) {
        // Nothing was deleted: saying it was would hide that the subject is not there.
        boxes.notice(QStringLiteral("Il Soggetto selezionato non esiste: nessuna eliminazione "
                                    "effettuata"),
                     kDeleteTitle);
        return;
    }
    boxes.notice(QStringLiteral("Eliminazione  di       ") + Text2->text() +
                     QStringLiteral("   effettuata con successo ! "),
                 kDeleteTitle);
    shell_.PulisciCampi();
    Check1->setChecked(false);
}
