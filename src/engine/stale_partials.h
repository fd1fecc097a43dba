// What interrupted downloads leave in the download root (a partial <path>.~vm and its
// record <path>.~vr) is taken up by the next attempt at the same file. Once the
// package is complete, what no attempt will take up goes: those of files no longer
// listed, or listed and in place. Those of listed files still missing stay for the
// next run.
#pragma once

void removeStalePartials();
