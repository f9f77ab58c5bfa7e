#pragma once
// Command-line parsing of quillpress-cli.
