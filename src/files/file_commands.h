#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;
struct FileDialog;

// The Open, Save and Clear commands of the Keywords, URLs, Spider and Template menus.
void mnuOpenKeywords_Click(Form1& f, Platform& p);
void mnuSaveKeywords_Click(Form1& f, Platform& p);
void mnuClearKeywords_Click(Form1& f, Platform& p);
void mnuOpenURLs_Click(Form1& f, Platform& p);
void mnuSaveURLs_Click(Form1& f, Platform& p);
void mnuClearURLs_Click(Form1& f, Platform& p);
void mnuOpenSpiderData_Click(Form1& f, Platform& p);
void mnuSaveSpiderData_Click(Form1& f, Platform& p);
void mnuClearSpiderData_Click(Form1& f, Platform& p);
void mnuOpenTemplate_Click(Form1& f, Platform& p);
void mnuSaveTemplate_Click(Form1& f, Platform& p);
void mnuClearTemplate_Click(Form1& f, Platform& p);

/// The text Open Spider Data and Open Template put in their pane for a file that holds
/// `fileText`: each line without line breaks and the spaces round it, ended by CR LF.
QString openedPaneText(const QString& fileText);

/// Asks for a file with `dialog` and saves `content` there whole, saying "File ... saved!" or
/// why it could not be saved; nothing on cancel. True once the file is written. The Save
/// commands share it.
bool saveToChosenFile(Platform& p, FileDialog& dialog, const QString& content);

/// True when one of the Open commands takes a file of this name: a keywords, URLs, spider
/// data or template file, by its extension in any letter case.
bool opensDroppedFile(const QString& path);
/// Opens a file dropped on the window as the Open command of its kind opens the file chosen
/// in its dialog: same messages, same limits. A file no Open command takes is left alone
/// (the window refuses it before the drop, by opensDroppedFile).
void openDroppedFile(Form1& f, Platform& p, const QString& path);

} // namespace tarnwick
