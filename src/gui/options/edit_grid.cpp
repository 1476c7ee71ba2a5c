#include "gui/options/edit_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>

#include "gui/widgets/line_text.h"

class GridEditDelegate final : public QStyledItemDelegate {
public:
    explicit GridEditDelegate(EditGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        keepOneLine(editor);
        const int row = index.row();
        const int column = index.column();
        EditGrid* grid = m_grid;
        QObject::connect(editor, &QLineEdit::textEdited, editor,
                         [grid, row, column](const QString& text) { emit grid->editTextChanged(row, column, text); });
        m_grid->m_openEditor = editor;
        return editor;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (m_grid->m_openEditor == editor) m_grid->m_openEditor = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // Escape cancels the dialog, as it does everywhere else in it, instead of only the cell.
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            emit m_grid->escapePressed();
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    EditGrid* m_grid;
};

EditGrid::EditGrid(int rows, int columns, QWidget* parent) : QTableWidget(rows, columns, parent)
{
    m_delegate = new GridEditDelegate(this);
    setItemDelegate(m_delegate);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);  // a long text is cut at the cell's edge
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void EditGrid::setColumnWidths(std::initializer_list<int> widths)
{
    int column = 0;
    for (int width : widths) setColumnWidth(column++, width);
}

void EditGrid::setRowHeight(int height)
{
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);  // the header row is one of the grid's rows
}

void EditGrid::commitOpenEditor()
{
    if (m_openEditor) commitData(m_openEditor);
}

void EditGrid::closeOpenEditor()
{
    if (m_openEditor) QTableWidget::closeEditor(m_openEditor, QAbstractItemDelegate::NoHint);
}

bool EditGrid::isEditable(int row, int column) const
{
    const Qt::ItemFlags flags = model()->index(row, column).flags();
    return flags.testFlag(Qt::ItemIsEnabled) && flags.testFlag(Qt::ItemIsEditable);
}

QModelIndex EditGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action != MoveNext && action != MovePrevious) return QTableWidget::moveCursor(action, modifiers);
    // Tab walks the editable cells row by row; past the last one there is no next cell, so the
    // focus goes on to the next control.
    const int cells = rowCount() * columnCount();
    const QModelIndex current = currentIndex();
    int cell = current.isValid() ? current.row() * columnCount() + current.column() : -1;
    const int step = action == MoveNext ? 1 : -1;
    if (!current.isValid() && step < 0) cell = cells;
    for (cell += step; cell >= 0 && cell < cells; cell += step) {
        const int row = cell / columnCount();
        const int column = cell % columnCount();
        if (isEditable(row, column)) return model()->index(row, column);
    }
    return {};
}

void EditGrid::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    // A click chooses its own cell; opening another one first would scroll the grid under it.
    if (m_leaving || state() == EditingState || event->reason() == Qt::MouseFocusReason) return;
    QModelIndex current = currentIndex();
    if (!current.isValid() || !isEditable(current.row(), current.column())) {
        current = moveCursor(MoveNext, Qt::NoModifier);
        if (!current.isValid()) return;
        setCurrentIndex(current);  // the current-changed trigger opens the editor
    }
    if (state() != EditingState) edit(current);
}

void EditGrid::keyPressEvent(QKeyEvent* event)
{
    // Enter in a cell presses the dialog's default button, with the cell's text kept.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        commitOpenEditor();
        event->ignore();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void EditGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool walking = hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    if (!walking || moveCursor(forward ? MoveNext : MovePrevious, Qt::NoModifier).isValid()) {
        QTableWidget::closeEditor(editor, hint);
        return;
    }
    // Tab on the last cell (Shift+Tab on the first) leaves the grid.
    m_leaving = true;
    QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
    QWidget::focusNextPrevChild(forward);
    m_leaving = false;
}
