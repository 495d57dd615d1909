// SPDX-License-Identifier: MIT
#pragma once

#include "gui/runtime/printer.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <optional>
#include <vector>

// Stands in for the printer in tests: a device name to report (none for "no printer available"), and each
// printed page kept as an image of the window at the moment of printing, drawn by the same code as the
// real page. A reason to fail makes every printout fail with it; the spooler can be made to give no answer.
// What the window looked like when the page went to the "spooler" is kept too. Every answer is given at
// once, through the callback.
class CapturingPrinter final : public tarvelin::PrinterService
{
public:
    void deviceName(tarvelin::LookupDone done) override { done(lookUp()); }

    void printWindow(QWidget &window, const std::function<void()> &pageTaken, tarvelin::PrintDone done) override
    {
        const tarvelin::PrintOutcome outcome = print(window, pageTaken);
        if (holdAnswers)
            held.push_back([done, outcome] { done(outcome); });
        else
            done(outcome);
    }

    void printDocument(const std::string &queue, const std::string &title, const QByteArray &pdf, int copies,
                       tarvelin::PrintDone done) override
    {
        documents.push_back({queue, title, pdf, copies});
        if (failure)
            return done({tarvelin::PrintOutcome::Status::Failed, *failure});
        done({tarvelin::PrintOutcome::Status::Accepted, {}});
    }

    tarvelin::PrinterLookup lookUp()
    {
        using Outcome = tarvelin::PrinterLookup::Outcome;
        ++deviceNameReads;
        if (lookupUnanswered)
            return {Outcome::NoAnswer, {}};
        if (!name)
            return {Outcome::NoPrinter, {}};
        return {Outcome::Found, *name};
    }

    tarvelin::PrintOutcome print(QWidget &window, const std::function<void()> &pageTaken)
    {
        using Status = tarvelin::PrintOutcome::Status;
        QImage page(window.size(), QImage::Format_ARGB32);
        page.fill(Qt::magenta); // anything the window does not cover shows up
        {
            QPainter painter(&page);
            tarvelin::renderWindow(painter, window);
        }
        pages.push_back(page);
        pageTaken();
        sizesWhenSubmitted.push_back(window.size());
        if (submissionUnanswered)
            return {Status::NoAnswer, {}};
        if (failure)
            return {Status::Failed, *failure};
        return {Status::Accepted, {}};
    }

    struct Document
    {
        std::string queue;
        std::string title;
        QByteArray pdf;
        int copies = 1;
    };

    std::optional<std::string> name = std::string("Office Laser");
    std::vector<Document> documents;
    std::optional<std::string> failure;
    bool lookupUnanswered = false;
    // The spooler's answers to pages kept back, to be given by the test, as a slow spooler would.
    bool holdAnswers = false;
    std::vector<std::function<void()>> held;
    bool submissionUnanswered = false;
    std::vector<QImage> pages;
    std::vector<QSize> sizesWhenSubmitted;
    int deviceNameReads = 0;
};
