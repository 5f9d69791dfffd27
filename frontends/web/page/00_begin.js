// The page of the browser front end, appended to the core's script: one file.
(() => {
'use strict';
