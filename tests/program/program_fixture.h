#pragma once
// Runs the program headless on a fresh model and application state, in a temporary program
// directory. The serial port of the settings file there is 200, which no system has; port 1 (the
// default of a missing settings file) is a dangling link, so no real port is ever opened.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/state.h"
#include "app/system.h"
#include "file_bytes.h"
#include "runtime/core/model.h"
#include "runtime/core/resource.h"
#include "runtime/headless/headless_frontend.h"
#include "runtime/textfiles.h"
#include "ui/tevran_ids.h"

namespace tevran_test {

class ProgramTest : public ::testing::Test {
protected:
    static constexpr const char* kPort200Ini =
        " 200 1.000000 0 1 0.000000 10.000000 0.000000 10.000000 0 0 Kv_2016\r\n";

    rt::HeadlessFrontEnd fe;
    std::string dir;
    int popups = 0;

    void SetUp() override {
        char tmpl[] = "/tmp/tevran-prog-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::filesystem::create_symlink(dir + "/no-such-device", dir + "/COM1");
        fresh();
    }

    void TearDown() override {
        rt::setFrontEnd(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    // A new model, state and front end, as at a program start.
    void fresh() {
        rt::Model::instance().reset();
        app = AppState{};
        fe.realDelays = false;
        fe.report = [this](const std::string&) { ++popups; };
        rt::setFrontEnd(&fe);
        rt::setProjectDir(dir);
        rt::setResourceFallbackDir(TEVRAN_BIN_DIR);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    // Start-up with `ini` as TEVRAN.ini (none when `ini` is null).
    void start(const char* ini = kPort200Ini) {
        if (ini) writeBytes(path("TEVRAN.ini"), ini);
        ASSERT_EQ(tevranStartup(), 0) << rt::lastResourceError();
    }

    // The shutdown; returns the exit status it ends with.
    int shutdown() {
        try {
            enden();
        } catch (const rt::ProcessExit& e) {
            return e.status;
        }
        ADD_FAILURE() << "enden returned without ending the process";
        return -1;
    }

    rt::Control& ctrl(int panel, int id) {
        rt::Control* c = rt::Model::instance().control(panel, id);
        EXPECT_NE(c, nullptr) << "control " << id;
        static rt::Control none;
        return c ? *c : none;
    }

    rt::GraphModel& chart() { return *ctrl(app.p1, MAIN_STRIPCHART).graph; }
};

// Point i of a plot.
inline double px(const rt::Plot& p, std::size_t i) { return p.points->x[p.offset + i]; }
inline double py(const rt::Plot& p, std::size_t i) { return p.points->y[p.offset + i]; }

}  // namespace tevran_test
