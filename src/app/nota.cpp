#include "app/nota.h"

#include "app/archive_menu.h"
#include "app/help_menu.h"
#include "app/pictures.h"
#include "importing/einvoice_import_command.h"
#include "importing/sheet_import_command.h"
#include "ledger/entry_tax_calendar.h"
#include "ledger/lookup_editor.h"
#include "ledger/tax_commands.h"
#include "ledger/withholding_panel.h"
#include "registry/subject_panel.h"
#include "reports/report_commands.h"
#include "reports/search_panel.h"
#include "reports/year_deletion.h"
#include "shell/message_boxes.h"
#include "store/connection.h"
#include "store/queries.h"
#include "tax/late_withholdings.h"
#include "widgets/clickable_label.h"
#include "widgets/data_grid.h"
#include "widgets/date_box.h"
#include "widgets/status_bar.h"
#include "widgets/typed_values.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

struct MenuItem {
    const char* name;
    const char* caption;
    int depth; // 0: on the menu bar; 1: in a menu; 2: in a submenu
    bool opensMenu;
};

// The menu bar in order; an item that opens a menu is followed by its items.
const MenuItem kMenu[] = {
    {"Esci", "&Esci", 0, false},
    {"CambioUtente", "&Cambio Utente", 0, false},
    {"Anagrafica", "&Anagrafica", 0, true},
    {"Inserisci", "Inserisci", 1, false},
    {"Modifica", "Modifica", 1, false},
    {"Elimina", "Elimina", 1, false},
    {"Stampa", "Stampe", 1, true},
    {"Elenco", "Elenco Soggetti", 2, false},
    {"Ritenute", "&Velarco", 0, true},
    {"Rinserisci", "Inserisci", 1, false},
    {"Rmodifica", "Modifica", 1, false},
    {"RElimina", "Elimina", 1, false},
    {"StampeR", "&Stampe", 1, true},
    {"ElencoR", "Elenco Generale  Fatture", 2, false},
    {"FattureNP", "Fatture Non pagate", 2, false},
    {"FattureP", "Fatture Pagate", 2, false},
    {"RitenuteNV", "Ritenute da versare", 2, false},
    {"RitenuteV", "Ritenute versate", 2, false},
    {"RitenuteS", "Ritenute in Scadenza", 2, false},
    {"RitenuteScadute", "Ritenute scadute", 2, false},
    {"RicercaP", "Ricerca per Periodo", 2, false},
    {"RicercaS", "Situazione per Soggetto", 2, false},
    {"StanpaAt", "Attestazione", 2, false},
    {"PianoF24", "Piano F24", 2, false},
    {"Servizi", "&Funzionalità", 0, false},
    {"Funzioni", "&Servizi", 0, true},
    {"EliminaR", "Eliminazione Registrazioni Anno", 1, false},
    {"CalcoloRavvedimento", "Calcolo ravvedimento", 1, false},
    {"Rinvio1040", "Rinvio ritenute 1040 fino a 100 euro", 1, false},
    {"ImportaRegistrazioni", "Importa registrazioni…", 1, false},
    {"ImportaFatture", "Importa fatture elettroniche…", 1, false},
    {"Prospetto770", "Prospetto versamenti 770", 1, false},
    {"Prospetto770G", "Prospetto versamenti 770 generale", 1, false},
    {"Generale", "&Generale", 0, true},
    {"StampaG", "Stampa Generale  Utenti Ritenute Sospese", 1, false},
    {"StampaS", "Stampa Generale Utenti  per Scadenza ", 1, false},
    {"PianoF24G", "Piano F24 Generale", 1, false},
    {"StampaScadute", "Ritenute scadute", 1, false},
    {"Archivio", "A&rchivio", 0, true},
    {"ApriCondiviso", "Apri archivio condiviso…", 1, false},
    {"NuovoArchivio", "Nuovo archivio…", 1, false},
    {"ApriLocale", "Apri archivio locale…", 1, false},
    {"VerificaArchivio", "Verifica archivio", 1, false},
    {"SalvaCopia", "Salva copia dell'archivio…", 1, false},
    {"RipristinaCopia", "Ripristina da una copia…", 1, false},
    {"RegistroModifiche", "Registro delle modifiche…", 1, false},
    {"Informazioni", "Informazioni", 1, false},
    {"Aiuto", "&?", 0, true},
    {"Guida", "Guida", 1, false},
    {"InformazioniVelarco", "Informazioni su Velarco", 1, false},
};

// The commands that write to the ledger; on a read-only ledger each refuses at once.
const char* const kWritingCommands[] = {
    "Inserisci", "Modifica", "Elimina",  "Rinserisci",           "Rmodifica",
    "RElimina",  "Servizi",  "EliminaR", "ImportaRegistrazioni", "ImportaFatture"};

const QString kReadOnlyTitle = QStringLiteral("Velarco - SOLA LETTURA");

QLabel* makeLabel(const char* name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

Nota::Nota(MessageBoxes& boxes, QWidget* parent) : QMainWindow(parent), boxes_(boxes) {
    setObjectName(QStringLiteral("Nota"));
    setWindowTitle(QStringLiteral("Velarco "));
    setWindowIcon(applicationIcon());
    buildMenus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    // The current selection, kept in the captions that every command reads.
    auto* header = new QHBoxLayout;
    Label1 = new ClickableLabel({}, central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setToolTip(QStringLiteral("Dati dell'utente"));
    Label40 = makeLabel("Label40", {}, central);
    Label2 = makeLabel("Label2", {}, central);
    QFont strong = Label40->font();
    strong.setBold(true);
    strong.setPointSizeF(strong.pointSizeF() * 1.2);
    Label40->setFont(strong);
    Label2->setFont(strong);
    auto* Image1 = makeLabel("Image1", {}, central);
    Image1->setPixmap(applicationIcon().pixmap(48, 48));
    header->addWidget(makeLabel("Label3", QStringLiteral("Utente"), central));
    header->addWidget(Label40);
    header->addWidget(Label1);
    header->addSpacing(24);
    header->addWidget(makeLabel("Label6", QStringLiteral("Anno"), central));
    header->addWidget(Label2);
    header->addStretch(1);
    header->addWidget(Image1);
    layout->addLayout(header);

    layout->addWidget(buildSelectionPanel(), 0, Qt::AlignHCenter);
    Frame1 = new SubjectPanel(*this, central);
    Frame3 = buildGridPanel();
    Frame4 = new WithholdingPanel(*this, central);
    new EntryTaxCalendar(*this, *Frame4);
    Frame5 = new SearchPanel(*this, central);
    Frame6 = new LookupEditor(*this, central);
    new YearDeletion(*this, this);
    new SheetImportCommand(*this, this);
    new EinvoiceImportCommand(*this, this);
    new ReportCommands(*this, this);
    auto* archive = new ArchiveMenu(*this, this);
    connect(archive, &ArchiveMenu::ledgerClosing, this, &Nota::releaseLedger);
    connect(archive, &ArchiveMenu::ledgerReopened, this, &Nota::onCambioUtente);
    connect(archive, &ArchiveMenu::ledgerReopened, this, [this] {
        if (store::isReadOnly())
            refuseWrites();
    });
    if (store::isReadOnly())
        refuseWrites();
    new TaxCommands(*this, this);
    new HelpMenu(*this, this);
    for (QGroupBox* frame :
         {static_cast<QGroupBox*>(Frame1), Frame3, static_cast<QGroupBox*>(Frame4),
          static_cast<QGroupBox*>(Frame5), static_cast<QGroupBox*>(Frame6)})
        layout->addWidget(frame, 1);
    layout->addStretch(0);
    setCentralWidget(central);

    StatusBar1 = new StatusBar(QStringLiteral("Velarco - Registro ritenute d'acconto"), this);
    setStatusBar(StatusBar1);

    connect(qobject_cast<ClickableLabel*>(Label1), &ClickableLabel::clicked, this, [this] {
        if (store::isReadOnly())
            boxes_.notice(ArchiveMenu::readOnlyText(), kReadOnlyTitle);
        else
            Frame1->openFromUserLabel();
    });
    // F5 runs the subject command wherever the focus is in the window.
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), this);
    f5->setContext(Qt::WindowShortcut);
    connect(f5, &QShortcut::activated, this, [this] { Frame1->pressCmd2(); });
    // Escape closes the panel in front, as its close mark does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &Nota::closeFrontPanel);

    // Loading the window: the selection state.
    showSelection();
    resize(1100, 760);
}

Nota::~Nota() {
    // Closing the window moves the focus, and a field losing it reports an edit or a
    // choice: no handler of the window or its panels may run while it is destroyed.
    for (QWidget* child : findChildren<QWidget*>())
        child->blockSignals(true);
}

void Nota::buildMenus() {
    QMenu* menus[3] = {};
    for (const MenuItem& item : kMenu) {
        const QString name = QString::fromLatin1(item.name);
        const QString caption = QString::fromUtf8(item.caption);
        QAction* action = nullptr;
        if (item.opensMenu) {
            QMenu* menu = item.depth == 0 ? menuBar()->addMenu(caption)
                                          : menus[item.depth - 1]->addMenu(caption);
            menu->setObjectName(name + QStringLiteral("Menu"));
            menus[item.depth] = menu;
            action = menu->menuAction();
        } else {
            action = new QAction(caption, this);
            if (item.depth == 0)
                menuBar()->addAction(action);
            else
                menus[item.depth - 1]->addAction(action);
        }
        action->setObjectName(name);
        actions_.insert(name, action);
    }
    connect(action("Esci"), &QAction::triggered, this, &Nota::onEsci);
    connect(action("CambioUtente"), &QAction::triggered, this, &Nota::onCambioUtente);
    connect(action("Servizi"), &QAction::triggered, this, &Nota::onServizi);
}

QWidget* Nota::buildSelectionPanel() {
    Frame2 = new QGroupBox(QStringLiteral("Seleziona "), centralWidget());
    Frame2->setObjectName(QStringLiteral("Frame2"));
    cbo1 = new QComboBox(Frame2);
    cbo1->setObjectName(QStringLiteral("cbo1"));
    cbo1->setEditable(true);
    cbo1->setInsertPolicy(QComboBox::NoInsert);
    cbo1->setMinimumContentsLength(32);
    cbo2 = new QComboBox(Frame2);
    cbo2->setObjectName(QStringLiteral("cbo2"));
    cbo2->setEditable(true);
    cbo2->setInsertPolicy(QComboBox::NoInsert);
    // On a ledger without users: how to make the first one.
    NoUsers = makeLabel("NessunUtente",
                        QStringLiteral("Nessun utente nell'archivio: per crearne uno, menu "
                                       "Anagrafica → Inserisci con la casella «Utente» "
                                       "spuntata (F1: la guida)."),
                        Frame2);
    NoUsers->setWordWrap(true);
    NoUsers->hide();
    Cmd1 = new QPushButton(QStringLiteral("Accedi"), Frame2);
    Cmd1->setObjectName(QStringLiteral("Cmd1"));
    Cmd1->setDefault(true);
    ClickableLabel* Label11 = makeCloseMark("Label11", Frame2);

    auto* grid = new QGridLayout(Frame2);
    grid->addWidget(Label11, 0, 2, Qt::AlignRight);
    grid->addWidget(makeLabel("Label4", QStringLiteral("Utente "), Frame2), 1, 0);
    grid->addWidget(cbo1, 1, 1, 1, 2);
    grid->addWidget(makeLabel("Label5", QStringLiteral("Anno"), Frame2), 2, 0);
    grid->addWidget(cbo2, 2, 1);
    grid->addWidget(NoUsers, 3, 0, 1, 3);
    grid->addWidget(Cmd1, 4, 1, 1, 2, Qt::AlignRight);

    connect(cbo1, &QComboBox::activated, this, &Nota::onUserChosen);
    connect(cbo2, &QComboBox::activated, this, [this] { setYear(cbo2->currentText()); });
    connect(Cmd1, &QPushButton::clicked, this, &Nota::onAccedi);
    connect(Label11, &ClickableLabel::clicked, this, &Nota::onClearSelection);
    return Frame2;
}

QGroupBox* Nota::buildGridPanel() {
    auto* frame = new QGroupBox(gridPickTitle(GridPick::Nothing), centralWidget());
    frame->setObjectName(QStringLiteral("Frame3"));
    Datagrid1 = new DataGrid(frame);
    Datagrid1->setObjectName(QStringLiteral("Datagrid1"));
    Datagrid1->setMessageBoxes(&boxes_);
    ClickableLabel* Label10 = makeCloseMark("Label10", frame);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(Label10, 0, Qt::AlignRight);
    layout->addWidget(Datagrid1, 1);
    connect(Label10, &ClickableLabel::clicked, this, [this] {
        Frame3->hide();
        resumeWork();
    });
    connect(Datagrid1, &DataGrid::rowPicked, this, &Nota::onGridRowPicked);
    connect(Datagrid1, &DataGrid::readFailed, this, &Nota::reportError);
    return frame;
}

void Nota::setSession(const Session& session) {
    session_ = session;
    Label1->setText(session_.userId);
    Label40->setText(session_.userName);
    Label2->setText(session_.year);
}

void Nota::setYear(const QString& year) {
    Session withYear = session_;
    withYear.year = year;
    setSession(withYear);
}

void Nota::setGridPick(GridPick pick) {
    gridPick_ = pick;
    Frame3->setTitle(gridPickTitle(pick));
}

QAction* Nota::action(const char* name) const {
    return actions_.value(QString::fromLatin1(name));
}

QGroupBox* Nota::panel(const char* name) const {
    return findChild<QGroupBox*>(QString::fromLatin1(name));
}

void Nota::reportError(const QString& reason) {
    boxes_.notice(QStringLiteral("Errore del database: ") + reason, blockingTitle());
}

void Nota::refuseWrites() {
    // The panels' own handlers never run: the operator is told before typing anything.
    for (const char* name : kWritingCommands) {
        QAction* command = action(name);
        disconnect(command, &QAction::triggered, nullptr, nullptr);
        connect(command, &QAction::triggered, this,
                [this] { boxes_.notice(ArchiveMenu::readOnlyText(), kReadOnlyTitle); });
    }
}

void Nota::releaseLedger() {
    setPanelsVisible({"Frame4", "Frame3", "Frame1", "Frame5", "Frame6"}, false);
    for (DataGrid* grid : findChildren<DataGrid*>())
        grid->unbind();
    PulisciCampi();
}

void Nota::PulisciCampi() {
    // Every text and combo text of every panel; captions and check boxes stay.
    for (QComboBox* combo : findChildren<QComboBox*>())
        combo->setEditText(QString());
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        edit->clear();
    for (DateBox* box : findChildren<DateBox*>())
        box->clear();
    for (TypedValues* typed : findChildren<TypedValues*>())
        typed->reset();
}

void Nota::closeFrontPanel() {
    // The entry panels first: the grid may show beside them.
    static const std::pair<const char*, const char*> kCloseMarks[] = {{"Frame4", "Image2"},
                                                                      {"Frame1", "Image3"},
                                                                      {"Frame6", "Label47"},
                                                                      {"Frame5", "Label45"},
                                                                      {"Frame3", "Label10"}};
    for (const auto& [name, markName] : kCloseMarks) {
        const QGroupBox* front = panel(name);
        if (!front || !front->isVisible())
            continue;
        auto* mark = front->findChild<ClickableLabel*>(QString::fromLatin1(markName));
        const TypedValues* typed = TypedValues::of(*front);
        if (!mark ||
            (typed && typed->typed() &&
             !boxes_.confirm(QStringLiteral("Chiudere senza salvare?"), QStringLiteral("Velarco"))))
            return;
        Q_EMIT mark->clicked();
        return;
    }
}

void Nota::CaricaAnni() {
    cbo2->clear();
    setYear(QString());
    const Result<QStringList> years = store::years();
    if (!years.ok())
        reportError(years.error());
    cbo2->addItems(years.value);
    cbo2->setEditText(QString::number(QDate::currentDate().year()));
}

void Nota::CaricaUtenti() {
    const QString keep = cbo1->currentText();
    cbo1->clear();
    Session noUser = session_;
    noUser.userId.clear();
    setSession(noUser);
    const Result<QStringList> users = store::userNames();
    if (!users.ok())
        reportError(users.error());
    cbo1->addItems(users.value);
    cbo1->setEditText(keep);
    NoUsers->setVisible(users.ok() && users.value.isEmpty());
}

void Nota::CaricaSoggetti() {
    QComboBox* combos[] = {findChild<QComboBox*>(QStringLiteral("Cbo3")),
                           findChild<QComboBox*>(QStringLiteral("Cbo7"))};
    const Result<QStringList> names = store::subjectNames();
    if (!names.ok())
        reportError(names.error());
    for (QComboBox* combo : combos) {
        if (!combo)
            continue;
        const QString keep = combo->currentText();
        combo->clear();
        combo->addItems(names.value);
        combo->setEditText(keep);
    }
}

void Nota::onUserChosen() {
    Session chosen = session_;
    chosen.userId.clear();
    const Result<std::optional<qint64>> id = store::subjectIdByName(cbo1->currentText());
    if (!id.ok())
        reportError(id.error());
    else if (id.value)
        chosen.userId = QString::number(*id.value);
    chosen.userName = cbo1->currentText();
    setSession(chosen);
}

void Nota::onAccedi() {
    setYear(cbo2->currentText());
    for (const QString* chosen : {&session_.userId, &session_.year, &session_.userName}) {
        if (chosen->trimmed().isEmpty()) {
            boxes_.notice(QStringLiteral("Compilare tutti i campi "),
                          QStringLiteral("ERRORE - CAMPO   VUOTO"));
            cbo1->setFocus();
            return;
        }
    }
    Frame2->hide();
    setMenusEnabled({"Anagrafica", "Ritenute", "Servizi", "Funzioni"}, true);
    showLateCount();
}

void Nota::showLateCount() {
    const Result<QList<tax::LateWithholding>> late =
        tax::lateWithholdings(session_.userId, {}, QDate::currentDate(), false);
    if (!late.ok()) {
        reportError(late.error());
        return;
    }
    const qsizetype count = late.value.size();
    if (count == 0)
        StatusBar1->clearMessage();
    else
        StatusBar1->showMessage(count == 1
                                    ? QStringLiteral("1 ritenuta scaduta non versata")
                                    : QStringLiteral("%1 ritenute scadute non versate").arg(count));
}

void Nota::onClearSelection() {
    cbo1->setEditText(QString());
    cbo2->setEditText(QString());
    setSession(Session());
}

void Nota::showSelection() {
    setMenusEnabled({"Ritenute", "Funzioni", "Servizi"}, false);
    setMenusEnabled({"Esci", "Anagrafica"}, true);
    Frame2->show();
    CaricaAnni();
    CaricaUtenti();
    setPanelsVisible({"Frame4", "Frame3", "Frame1", "Frame5", "Frame6"}, false);
    cbo1->setFocus(Qt::OtherFocusReason);
}

void Nota::returnToSelection() {
    setMenusEnabled({"Anagrafica", "Ritenute", "Servizi"}, false);
    StatusBar1->clearMessage();
    Frame2->show();
    CaricaAnni();
    CaricaUtenti();
    setPanelsVisible({"Frame4", "Frame3", "Frame1", "Frame5", "Frame6"}, false);
}

void Nota::onCambioUtente() {
    setMenusEnabled({"Funzioni"}, false);
    setMenusEnabled({"Esci"}, true);
    returnToSelection();
    setSession(Session());
}

void Nota::onEsci() {
    if (boxes_.confirm(QStringLiteral(" Vuoi uscire dall' Applicazione ? "),
                       QStringLiteral(" Velarco-  USCITA "))) {
        exiting_ = true;
        Q_EMIT exitRequested();
        return;
    }
    returnToSelection();
}

void Nota::onServizi() {
    setWorkMenusEnabled(false);
    Frame5->hide();
    Frame6->show();
}

void Nota::onGridRowPicked() {
    switch (gridPick_) {
    case GridPick::ChangeSubject:
    case GridPick::DeleteSubject:
        Frame1->pickFromGrid(*Datagrid1);
        break;
    case GridPick::ChangeRecord:
    case GridPick::DeleteRecord:
        Frame4->pickFromGrid(*Datagrid1);
        break;
    case GridPick::Nothing:
        break;
    }
}

void Nota::closeEvent(QCloseEvent* event) {
    // Only "Esci" answered Yes ends the program.
    if (exiting_)
        event->accept();
    else
        event->ignore();
}
