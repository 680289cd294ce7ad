#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

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

} // namespace tarnwick
