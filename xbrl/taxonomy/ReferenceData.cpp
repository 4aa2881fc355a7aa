#include "xbrl/taxonomy/ReferenceData.h"
#include "platform/host/SqlText.h"
#include "xbrl/taxonomy/ItemCodes.h"
#include "xbrl/taxonomy/LabelModel.h"
#include "xbrl/taxonomy/PostingRules.h"
#include "xbrl/taxonomy/TaxonomyFiles.h"
#include <QHash>
#include <QSet>
#include <algorithm>
#include <functional>
#include <map>

// How the charts make a filing square.
//
// The import posts a fact on the account its element maps to, when the account's schema
// row is "V" (or the account is one of the few it posts anyway). It signs the amount by the
// account's section (x -1 in sections "2" and "5"), then its sign rules may negate it again
// by code. An account's section is therefore chosen so that the two together give the
// amount the sign it has in a trial balance: debits (assets, costs) positive, credits
// (liabilities, equity, revenues) negative.
//
// That sign comes from the calculation linkbases, not from a list: a leaf's weight towards
// the root of its statement (the product of the weights on the way) says whether it adds to
// the root or takes from it, and the root's balance says which side the root is on. In the
// balance sheet TotaleAttivo is a debit, so a leaf that adds to it is an asset (section
// "1"); TotalePassivo is a credit, so its leaves are section "2". In the income statement
// the root is the result of the year, a credit: a leaf that adds to it is a revenue
// (section "5"), one that takes from it a cost ("4"). Where a rule of the import negates a
// code that a chart has, the section is flipped, so that the rule's negation and the
// section's give the true sign together: "E-D-00-200-d" (20, proventi da consolidato
// fiscale, adds to the result) is section "4" in every chart, whose amount the rule then
// turns negative; 17-bis and 16 d) "altri" are section "4" in the consolidated chart
// only, where the rule negates them. Codes that the rules read with another meaning (the
// items of older layouts) must not occur at all.
//
// The year's result squares: the balance sheet holds it inside equity (IX, a leaf of
// TotalePassivo, posted negative in section "2" when it is a profit), so the posted assets
// add up to TotaleAttivo, the liabilities and equity to minus TotalePassivo, and the two
// to zero. The income statement's root, item 21 "Utile (perdita) dell'esercizio"
// ("E-D-00-210-"), is a total, but the import posts that code anyway: it is the closing
// entry, section "4", so a profit posts positive against the revenues and costs it sums,
// and the income statement adds up to zero too. A period's values, memorandum apart, then
// add up to zero.
//
// Only the leaves are "V", so that no amount is posted twice (a total on top of its parts).
// A filing built from the taxonomy reports every line down to the leaves whenever the line
// is not zero, as the real filings do; one that gave a non-zero total without any of its
// parts would leave that amount out, and its balance check would fail. The import cannot
// tell, fact by fact, whether the parts are present, so one level has to be chosen, and the
// leaves are the level the filings carry. Concepts of the notes, tuples among them, are
// mapped to no account, so the import skips them (and it never walks into a tuple).
namespace taxonomy {
namespace {

struct Statement {
    const LabelTable* table = nullptr;
    bool incomeStatement = false;
    ExtendedLink primary;              // the statement: the link with the most arcs
    std::vector<ExtendedLink> others;  // further breakdowns of its totals
    ExtendedLink presentation;         // no arcs when the form has none for the role
};

struct Tree {
    QHash<QString, std::vector<Arc>> children;  // in their order
    QStringList roots;
};

Tree treeOf(const ExtendedLink& link)
{
    Tree t;
    QSet<QString> targets;
    for (const Arc& a : link.arcs) {
        t.children[a.from].push_back(a);
        targets.insert(a.to);
    }
    for (std::vector<Arc>& arcs : t.children)
        std::stable_sort(arcs.begin(), arcs.end(), [](const Arc& x, const Arc& y) { return x.order < y.order; });
    for (const Arc& a : link.arcs)
        if (!targets.contains(a.from) && !t.roots.contains(a.from)) t.roots << a.from;
    return t;
}

struct Node {
    QString element;
    QString root;
    int weight = 1;  // towards the root
    int depth = 0;
    bool leaf = true;
    bool breakdown = false;
    QString code;
};

void walk(const Tree& t, const QString& element, const QString& root, int weight, int depth, std::vector<Node>& out,
          QSet<QString>& seen, bool breakdown)
{
    const auto kids = t.children.value(element);
    if (!seen.contains(element)) {
        seen.insert(element);
        out.push_back({element, root, weight, depth, kids.empty(), breakdown, QString()});
    }
    for (const Arc& a : kids) walk(t, a.to, root, weight * a.weight, depth + 1, out, seen, breakdown);
}

QStringList presentationOrder(const ExtendedLink& link)
{
    QStringList order;
    const Tree t = treeOf(link);
    std::function<void(const QString&)> visit = [&](const QString& c) {
        if (!order.contains(c)) order << c;
        for (const Arc& a : t.children.value(c)) visit(a.to);
    };
    for (const QString& r : t.roots) visit(r);
    return order;
}

QSet<QString> conceptsOf(const ExtendedLink& link)
{
    QSet<QString> s;
    for (const Arc& a : link.arcs) {
        s.insert(a.from);
        s.insert(a.to);
    }
    return s;
}

// At a word's end, with an ellipsis.
QString cut(const QString& s, qsizetype size)
{
    if (s.size() <= size) return s;
    QString t = s.left(size - 1);
    const qsizetype space = t.lastIndexOf(QLatin1Char(' '));
    if (space > size / 2) t.truncate(space);
    return t.trimmed() + QChar(0x2026);
}

QString formName(const QString& form)
{
    static const QHash<QString, QString> names{{QStringLiteral("ese"), QStringLiteral("bilancio ordinario")},
                                               {QStringLiteral("abb"), QStringLiteral("bilancio abbreviato")},
                                               {QStringLiteral("micr"), QStringLiteral("bilancio micro-imprese")},
                                               {QStringLiteral("cons"), QStringLiteral("bilancio consolidato")}};
    return names.value(form, form);
}

std::vector<Statement> statementsOf(const TaxonomyFiles& files, const LabelModel& labels, const EntryPoint& ep)
{
    std::vector<Statement> out;
    for (const Linkbase& lb : ep.calculation) {
        if (lb.links.empty()) continue;
        Statement s;
        std::vector<ExtendedLink> links = lb.links;
        std::stable_sort(links.begin(), links.end(),
                         [](const ExtendedLink& a, const ExtendedLink& b) { return a.arcs.size() > b.arcs.size(); });
        s.primary = links.front();
        s.others.assign(links.begin() + 1, links.end());
        for (const Linkbase& p : ep.presentation)
            for (const ExtendedLink& l : p.links)
                if (l.role == s.primary.role) s.presentation = l;
        // The presentation has the headings too, which tell the forms' tables apart best.
        s.table = labels.bestTable(conceptsOf(s.presentation.arcs.empty() ? s.primary : s.presentation));
        if (!s.table) continue;
        s.incomeStatement = s.table->name.startsWith(QLatin1String("Conto economico"));
        if (!s.incomeStatement && !s.table->name.startsWith(QLatin1String("Stato patrimoniale"))) continue;
        for (const QString& c : conceptsOf(s.primary))
            if (!files.element(c)) throw GeneratorError(QStringLiteral("%1: %2 non dichiarato").arg(lb.file, c));
        out.push_back(std::move(s));
    }
    return out;
}

Chart buildChart(const Form& form, const std::vector<Statement>& statements, const ItemCoder& coder,
                 const TaxonomyFiles& files, const QString& taxonomyCode, const QString& versionDate)
{
    Chart chart;
    chart.form = form;
    chart.description = cut(QStringLiteral("itcc-ci %1 %2").arg(versionDate, formName(form.prefix)), 80);
    const PostingContext context{taxonomyCode, form.chart, form.baseModel};

    struct Placed {
        const Statement* statement;
        Node node;
    };
    std::vector<Placed> placed;
    for (const Statement& s : statements) {
        std::vector<Node> nodes;
        QSet<QString> seen;
        const Tree primary = treeOf(s.primary);
        for (const QString& r : primary.roots) walk(primary, r, r, 1, 0, nodes, seen, false);
        for (const ExtendedLink& other : s.others) {
            const Tree t = treeOf(other);
            for (const QString& r : t.roots) walk(t, r, r, 1, 0, nodes, seen, true);
        }
        for (Node& n : nodes) {
            n.code = coder.code(*s.table, n.element);
            if (n.code.isEmpty())
                throw GeneratorError(
                    QStringLiteral("%1: nessuna etichetta per %2 in %3").arg(form.prefix, n.element, s.table->code));
            placed.push_back({&s, n});
        }
    }

    // Two concepts on one position (the consolidated "Totale patrimonio netto" of the group
    // inside the one with the minority interests): the outer keeps the code, the inner
    // takes a mark under it.
    QSet<QString> taken;
    for (const Placed& p : placed) taken.insert(p.node.code);
    std::map<QString, std::vector<Placed*>> byCode;
    for (Placed& p : placed) byCode[p.node.code].push_back(&p);
    for (auto& [code, group] : byCode) {
        if (group.size() < 2) continue;
        std::stable_sort(group.begin(), group.end(),
                         [](const Placed* a, const Placed* b) { return a->node.depth < b->node.depth; });
        for (size_t i = 1; i < group.size(); ++i) {
            const QString moved = code + freeMark(code, taken);
            taken.insert(moved);
            group[i]->node.code = moved;
        }
    }

    QHash<QString, Account> accounts;
    for (const Placed& p : placed) {
        const Node& n = p.node;
        const Statement& s = *p.statement;
        const bool closing = s.incomeStatement && n.element == n.root && !n.breakdown;
        // The sign the amount must have once posted: debits positive, credits negative.
        const int truth = closing ? 1 : (files.element(n.root)->balance == QLatin1String("debit") ? n.weight : -n.weight);
        const int sectionSign = truth * ruleFactor(n.code, context);
        Account a;
        a.element = n.element;
        a.code = n.code;
        a.description = cut(shortLabel(*s.table->path(n.element), 80), 80);
        a.section = s.incomeStatement ? (sectionSign > 0 ? '4' : '5') : (sectionSign > 0 ? '1' : '2');
        a.rowType = n.breakdown ? RowType::Breakdown : (n.leaf && n.element != n.root ? RowType::Value : RowType::Aggregate);
        a.level = n.depth + 1;

        for (const PostingRule& r : postingRules())
            if (r.codes.contains(a.code) && r.applies(context) && !(r.effect == PostingRule::Negate && r.sameItem))
                throw GeneratorError(QStringLiteral("%1: il codice %2 (%3) ha per l'importazione un altro significato")
                                         .arg(form.chart, a.code, a.element));
        if (postedAnyway().contains(a.code) && a.rowType != RowType::Value && !closing)
            throw GeneratorError(
                QStringLiteral("%1: %2 (%3) sarebbe registrato insieme alle sue parti").arg(form.chart, a.code, a.element));
        if (closing && !postedAnyway().contains(a.code))
            throw GeneratorError(QStringLiteral("%1: il risultato %2 (%3) non sarebbe registrato: il conto economico non quadra")
                                     .arg(form.chart, a.code, a.element));
        accounts.insert(a.element, a);
    }

    // The parts of every total below the statements' roots, by their codes.
    for (const Statement& s : statements) {
        const Tree t = treeOf(s.primary);
        for (auto it = t.children.cbegin(); it != t.children.cend(); ++it) {
            const auto g = accounts.constFind(it.key());
            if (t.roots.contains(it.key()) || g == accounts.constEnd() || g->rowType != RowType::Aggregate) continue;
            QSet<QString> seen;
            std::vector<QString> stack;
            for (const Arc& a : it.value()) stack.push_back(a.to);
            while (!stack.empty()) {
                const QString e = stack.back();
                stack.pop_back();
                if (seen.contains(e)) continue;
                seen.insert(e);
                if (const auto p = accounts.constFind(e); p != accounts.constEnd()) chart.groups.push_back({g->code, p->code});
                for (const Arc& a : t.children.value(e)) stack.push_back(a.to);
            }
        }
    }
    std::sort(chart.groups.begin(), chart.groups.end(), [](const GroupPart& a, const GroupPart& b) {
        return a.group != b.group ? a.group < b.group : a.part < b.part;
    });

    // Rows and accounts in the order the statements present them; headings between them.
    QSet<QString> rowCodes;
    auto addRow = [&](const QString& code, char type, const QString& description) {
        if (rowCodes.contains(code)) return;
        rowCodes.insert(code);
        chart.schemaRows.push_back({code, type, cut(description, 120)});
    };
    QSet<QString> done;
    for (const Statement& s : statements) {
        QStringList order = presentationOrder(s.presentation);
        for (const Placed& p : placed)
            if (p.statement == &s && !order.contains(p.node.element)) order << p.node.element;
        for (const QString& c : order) {
            const auto it = accounts.constFind(c);
            if (it != accounts.constEnd()) {
                if (done.contains(c)) continue;
                done.insert(c);
                chart.accounts.push_back(*it);
                addRow(it->code, it->rowType, shortLabel(*s.table->path(c), 120));
            } else if (const Element* e = files.element(c); e && e->abstract && s.table->path(c)) {
                const QString code = coder.code(*s.table, c);
                if (!code.isEmpty()) addRow(code + QLatin1Char('H'), RowType::Heading, shortLabel(*s.table->path(c), 120));
            }
        }
    }
    return chart;
}

void insertRows(QString& out, const QString& head, const QStringList& rows)
{
    constexpr qsizetype batch = 250;
    for (qsizetype i = 0; i < rows.size(); i += batch) {
        out += head + QStringLiteral(" VALUES\n");
        const QStringList part = rows.mid(i, batch);
        out += part.join(QStringLiteral(",\n")) + QStringLiteral(";\n");
    }
}

QString inList(const QStringList& values)
{
    QStringList quoted;
    for (const QString& v : values) quoted << StringaSQL(v);
    return QLatin1Char('(') + quoted.join(QStringLiteral(", ")) + QLatin1Char(')');
}

}  // namespace

const Account* Chart::account(const QString& code) const
{
    for (const Account& a : accounts)
        if (a.code == code) return &a;
    return nullptr;
}

const Account* Chart::accountOf(const QString& element) const
{
    for (const Account& a : accounts)
        if (a.element == element) return &a;
    return nullptr;
}

const ElementRow* ReferenceData::element(const QString& id) const
{
    for (const ElementRow& e : elements)
        if (e.id == id) return &e;
    return nullptr;
}

int ReferenceData::footnoteId(int pk) const { return taxonomyCode.toInt() * 100000 + pk; }

ReferenceData generate(const GeneratorOptions& options)
{
    const TaxonomyFiles files(options.taxonomyFolder);
    const LabelModel labels(options.labelModel);
    bool numeric = false;
    options.taxonomyCode.toInt(&numeric);
    if (!numeric) throw GeneratorError(QStringLiteral("Codice di tassonomia non numerico: %1").arg(options.taxonomyCode));
    if (options.forms.empty()) throw GeneratorError(QStringLiteral("Nessuna forma di bilancio indicata"));

    std::vector<std::vector<Statement>> statements;
    std::vector<const LabelTable*> tables;
    for (const Form& f : options.forms) {
        const EntryPoint ep = files.entryPoint(f.prefix);
        statements.push_back(statementsOf(files, labels, ep));
        if (statements.back().empty())
            throw GeneratorError(QStringLiteral("%1: nessun prospetto di bilancio tra i linkbase presenti").arg(ep.file));
        for (const Statement& s : statements.back())
            if (std::find(tables.begin(), tables.end(), s.table) == tables.end()) tables.push_back(s.table);
    }
    // Model order, so that a mark goes to the item of the fuller forms first.
    std::sort(tables.begin(), tables.end(),
              [&](const LabelTable* a, const LabelTable* b) { return a - labels.tables().data() < b - labels.tables().data(); });
    const ItemCoder coder(tables);

    ReferenceData data;
    data.namespaceUri = files.targetNamespace();
    data.taxonomyCode = options.taxonomyCode;
    const QString versionDate = data.namespaceUri.section(QLatin1Char('/'), -1);
    for (size_t i = 0; i < options.forms.size(); ++i)
        data.charts.push_back(buildChart(options.forms[i], statements[i], coder, files, options.taxonomyCode, versionDate));

    int pk = 0;
    for (const Element& e : files.elements()) {
        ElementRow row;
        row.pk = ++pk;
        row.id = e.id;
        row.name = e.name;
        row.balance = e.balance;
        // The label of the statements first, else of any table, else the name.
        const QStringList* path = nullptr;
        for (const LabelTable* t : tables)
            if (!path) path = t->path(e.name);
        for (const LabelTable& t : labels.tables())
            if (!path) path = t.path(e.name);
        row.label = cut(path ? shortLabel(*path) : e.name, 500);
        data.elements.push_back(row);
    }
    return data;
}

QString referenceSql(const ReferenceData& data)
{
    const QString version = data.taxonomyCode;
    QStringList charts, schemas;
    for (const Chart& c : data.charts) {
        charts << c.form.chart;
        schemas << c.form.schema;
    }
    QString out = QStringLiteral(
                      "-- Reference data of the itcc-ci taxonomy %1, written by ktr-taxonomy from the taxonomy's files.\n"
                      "-- Every run replaces the version's rows, so loading it again changes nothing.\n")
                      .arg(data.namespaceUri);
    out += QStringLiteral(
        "CREATE TABLE IF NOT EXISTS QD53_XBRLGRUPPI (QD53_CODICEPDC_QD04 VARCHAR(20) NOT NULL, QD53_CODICECONTO_QD15 "
        "VARCHAR(20) NOT NULL, QD53_CODICECONTOPARTE VARCHAR(20) NOT NULL);\n");
    out += QStringLiteral("DELETE FROM QD53_XBRLGRUPPI WHERE QD53_CODICEPDC_QD04 IN %1;\n").arg(inList(charts));
    out += QStringLiteral("DELETE FROM QD52_XBRLCORR WHERE QD52_VERSIONE = %1;\n").arg(version);
    out += QStringLiteral("DELETE FROM QD77_FOOTNOTEDEF WHERE QD77_VERSIONE = %1;\n").arg(version);
    out += QStringLiteral("DELETE FROM QD51_XBRLDEFANAG WHERE QD51_VERSIONE = %1;\n").arg(version);
    out += QStringLiteral("DELETE FROM QD50_XBRLANAG WHERE QD50_VERSIONE = %1;\n").arg(StringaSQL(data.namespaceUri));
    out += QStringLiteral("DELETE FROM QD02_DEFSCHEMA WHERE QD02_CODICESCHEMA_QD01 IN %1;\n").arg(inList(schemas));
    out += QStringLiteral("DELETE FROM QD15_DEFPDC WHERE QD15_CODICEPDC_QD04 IN %1;\n").arg(inList(charts));
    out += QStringLiteral("DELETE FROM QD04_PDC WHERE QD04_CODICEPDC IN %1;\n").arg(inList(charts));

    out += QStringLiteral("INSERT INTO QD50_XBRLANAG (QD50_VERSIONE, QD50_CODICE) VALUES (%1, %2);\n")
               .arg(StringaSQL(data.namespaceUri), StringaSQL(version));

    QStringList rows;
    for (const Chart& c : data.charts)
        rows << QStringLiteral("(%1, %2, NULL, 1)").arg(StringaSQL(c.form.chart), StringaSQL(c.description));
    insertRows(out, QStringLiteral("INSERT INTO QD04_PDC (QD04_CODICEPDC, QD04_DESCRIZIONE, QD04_CODICEPDCKADRO, QD04_STANDARD)"),
               rows);

    rows.clear();
    for (const Chart& c : data.charts) {
        int line = 0;
        for (const Account& a : c.accounts)
            rows << QStringLiteral("(%1, %2, %3, %4, %5, %6)")
                        .arg(StringaSQL(c.form.chart), StringaSQL(a.code), StringaSQL(a.description))
                        .arg(a.level)
                        .arg(StringaSQL(QString(QLatin1Char(a.section))))
                        .arg(++line);
    }
    insertRows(out,
               QStringLiteral("INSERT INTO QD15_DEFPDC (QD15_CODICEPDC_QD04, QD15_CODICECONTO, QD15_DESCRIZIONE, QD15_LIVELLO, "
                              "QD15_SEZIONE, QD15_NUMRIGA)"),
               rows);

    rows.clear();
    for (const Chart& c : data.charts)
        for (const SchemaRow& r : c.schemaRows)
            rows << QStringLiteral("(%1, %2, %3, %4)")
                        .arg(StringaSQL(c.form.schema), StringaSQL(r.code), StringaSQL(QString(QLatin1Char(r.rowType))),
                             StringaSQL(r.description));
    insertRows(out,
               QStringLiteral("INSERT INTO QD02_DEFSCHEMA (QD02_CODICESCHEMA_QD01, QD02_VOCE, QD02_TIPORIGA, QD02_DESCRIZIONE)"),
               rows);

    rows.clear();
    for (const ElementRow& e : data.elements)
        rows << QStringLiteral("(%1, %2, %3, %4, %5)")
                    .arg(version)
                    .arg(e.pk)
                    .arg(StringaSQL(e.id), StringaSQL(e.label), StringaSQL(e.balance));
    insertRows(out, QStringLiteral("INSERT INTO QD51_XBRLDEFANAG (QD51_VERSIONE, QD51_PK, QD51_ID, QD51_LABEL, QD51_SALDO)"),
               rows);

    rows.clear();
    QSet<int> mapped;
    std::vector<int> mappedOrder;
    QHash<QString, int> pkByName;
    for (const ElementRow& e : data.elements) pkByName.insert(e.name, e.pk);
    for (const Chart& c : data.charts)
        for (const Account& a : c.accounts) {
            const int pk = pkByName.value(a.element);
            rows << QStringLiteral("(%1, %2, %3, %4)").arg(pk).arg(version).arg(StringaSQL(c.form.chart), StringaSQL(a.code));
            if (!mapped.contains(pk)) {
                mapped.insert(pk);
                mappedOrder.push_back(pk);
            }
        }
    insertRows(
        out,
        QStringLiteral("INSERT INTO QD52_XBRLCORR (QD52_PK_QD51, QD52_VERSIONE, QD52_CODICEPDC_QD04, QD52_CODICECONTO_QD15)"),
        rows);

    rows.clear();
    for (const Chart& c : data.charts)
        for (const GroupPart& g : c.groups)
            rows << QStringLiteral("(%1, %2, %3)").arg(StringaSQL(c.form.chart), StringaSQL(g.group), StringaSQL(g.part));
    insertRows(out, QStringLiteral("INSERT INTO QD53_XBRLGRUPPI (QD53_CODICEPDC_QD04, QD53_CODICECONTO_QD15, QD53_CODICECONTOPARTE)"),
               rows);

    rows.clear();
    std::sort(mappedOrder.begin(), mappedOrder.end());
    for (int pk : mappedOrder) rows << QStringLiteral("(%1, %2, %3)").arg(version).arg(pk).arg(data.footnoteId(pk));
    insertRows(out, QStringLiteral("INSERT INTO QD77_FOOTNOTEDEF (QD77_VERSIONE, QD77_PK_QD51, QD77_ID)"), rows);
    return out;
}

}  // namespace taxonomy
