// The application's part of the web service: it serves from start-up to exit, whoever is
// logged in on the desktop.
#include "CLorvanApp.h"

#include "WebService.h"

void CLorvanApp::StartWeb() { xInternet::StartWebService(); }

void CLorvanApp::StopWeb() { xInternet::StopWebService(); }
