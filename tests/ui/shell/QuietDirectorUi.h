#pragma once
// A director's window set that shows nothing and counts the sounds played, for tests that build
// their own toolbar or overlay beside a real director.
#include "app/DirectorUi.h"

struct QuietDirectorUi : DirectorUi {
    int zeroSounds = 0;
    void create(OrvixDirector*) override { }
    QWidget* mainWidget() const override { return nullptr; }
    void attachMainWindow() override { }
    void detachMainWindow() override { }
    void showMainWindow() override { }
    void hideMainWindow() override { }
    bool isMainWindowTotallyVisible() const override { return false; }
    void ask(Box, std::function<void(int)>) override { }
    void perform(int) override { }
    void attachSidebar() override { }
    void showSidebar() override { }
    void hideSidebar() override { }
    void runCrossView(bool, int, std::function<void()>) override { }
    void abortCrossView() override { }
    bool isCrossViewRunning() const override { return false; }
    void setProgressInfo(const QString&) override { }
    void setProgress(double) override { }
    void showProgressDialog() override { }
    void hideProgressDialog() override { }
    void createSoundPlayer() override { }
    void destroySoundPlayer() override { }
    bool hasSoundPlayer() const override { return true; }
    void play(int sample) override { zeroSounds += sample == ZeroInitSample; }
};
