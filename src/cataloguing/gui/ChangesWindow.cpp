#include "cataloguing/gui/ChangesWindow.h"

#include "catalog/StoredTexts.h"
#include "cataloguing/ChangesCsv.h"
#include "platform/gui/Prompter.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace kestro {

namespace {

constexpr int kSortRole = Qt::UserRole;

enum Column { Kind, Location, Name, OldSize, NewSize, OldDate, NewDate };

// What a column sorts by: sizes by kilobytes and dates by moment, an empty
// one first; texts as they read, without regard to letter case.
QVariant sortKey(int column, const QString& text) {
    switch (column) {
    case OldSize:
    case NewSize:
        return KilobytesOfSizeText(QStringView(text)).value_or(-1);
    case OldDate:
    case NewDate:
        return MomentOfDateText(QStringView(text)).value_or(std::numeric_limits<qint64>::min());
    default:
        return text.toCaseFolded();
    }
}

} // namespace

ChangesWindow::ChangesWindow(Prompter& prompter, const QString& volumeName, const ChangeRun& run,
                             std::vector<ChangeItem> items, QWidget* parent)
    : QDialog(parent), prompter_(prompter), items_(std::move(items)), list_(new QTreeView(this)) {
    setObjectName(QStringLiteral("fChanges"));
    setWindowTitle(QStringLiteral("Changes"));
    list_->setObjectName(QStringLiteral("ChangeList"));

    auto* model = new QStandardItemModel(0, int(ChangeColumnTitles().size()), this);
    model->setHorizontalHeaderLabels(ChangeColumnTitles());
    for (const ChangeItem& item : items_) {
        QList<QStandardItem*> row;
        const QStringList texts = ChangeColumnTexts(item);
        for (int column = 0; column < texts.size(); ++column) {
            auto* cell = new QStandardItem(texts[column]);
            cell->setData(sortKey(column, texts[column]), kSortRole);
            cell->setEditable(false);
            if (column == OldSize || column == NewSize)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            row << cell;
        }
        model->appendRow(row);
    }
    auto* sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(model);
    sorted->setSortRole(kSortRole);
    list_->setModel(sorted);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSortingEnabled(true);
    list_->sortByColumn(-1, Qt::AscendingOrder); // in the report's order until a header is clicked
    for (int column = 0; column < model->columnCount(); ++column)
        list_->resizeColumnToContents(column);

    auto* summary = new QLabel(QStringLiteral("%1, catalogued again on %2: %3")
                                   .arg(volumeName, run.date, ChangeCountsText(run)),
                               this);
    summary->setObjectName(QStringLiteral("Summary"));
    summary->setTextFormat(Qt::PlainText);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* exportButton =
        buttons->addButton(QStringLiteral("&Export..."), QDialogButtonBox::ActionRole);
    exportButton->setObjectName(QStringLiteral("Export"));
    exportButton->setEnabled(!items_.empty());
    QPushButton* close = buttons->addButton(QStringLiteral("C&lose"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Close"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    connect(exportButton, &QPushButton::clicked, this, &ChangesWindow::Export_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(760, 420);
}

void ChangesWindow::Export_Click() {
    const std::optional<QString> path = prompter_.saveFileName(
        QStringLiteral("Export Changes"), QDir::homePath(),
        QStringLiteral("Comma-separated values (*.csv)"), QStringLiteral("csv"));
    if (!path)
        return;
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ChangesCsv(items_)) < 0 || !file.commit())
        prompter_.message(QStringLiteral("The changes could not be written to %1: %2")
                              .arg(*path, file.errorString()));
}

} // namespace kestro
