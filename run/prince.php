<?php
// The converter interface KORVELAN's PDF scripts use (they require this file from the working
// directory): class Prince turns one HTML page into a PDF beside it.
//
// The path given to the constructor is used when it names an executable program: a program called
// "prince" (the converter the scripts were written for) is run as "prince INPUT -o OUTPUT"; any other
// is taken to accept chromium-headless-shell's print-to-pdf command line. Otherwise (the usual case)
// Debian's chromium-headless-shell does the work. The converter prints into a private folder made
// beside the PDF, and the finished PDF is renamed onto its name, which replaces whatever stands
// there without writing through it. Its console lines become the messages of a conversion: arrays
// of kind ('err', 'wrn' or 'inf'), location and text.

class Prince
{
    private $converter = '';
    private $html = TRUE;
    private $logFile = '';

    public function __construct($converterPath)
    {
        if (is_string($converterPath) && $converterPath !== '' && is_file($converterPath)
            && is_executable($converterPath)) {
            $this->converter = $converterPath;
        } else {
            $this->converter = self::findOnPath('chromium-headless-shell');
        }
    }

    // Pages are always read as HTML (the converter goes by the page's extension); the flag is kept
    // for the scripts that set it.
    public function setHTML($html)
    {
        $this->html = (bool)$html;
    }

    // Messages of every conversion are appended to this file; an empty name keeps no log.
    public function setLog($logFile)
    {
        $this->logFile = (string)$logFile;
    }

    // Converts the page at $xmlPath to the same path with the extension ".pdf". True only when a
    // non-empty PDF was made; $msgs receives the conversion's messages either way.
    public function convert_file($xmlPath, &$msgs)
    {
        $msgs = array();
        $pdfPath = self::pdfPathOf($xmlPath);
        $ok = FALSE;
        if (!is_file($xmlPath) || !is_readable($xmlPath)) {
            $msgs[] = array('err', $xmlPath, 'the page does not exist or cannot be read');
        } elseif ($this->converter === '') {
            $msgs[] = array('err', '', 'no converter: chromium-headless-shell is not installed '
                . '(Debian package chromium-headless-shell)');
        } else {
            $folder = self::privateFolderBeside($pdfPath);
            if ($folder === '') {
                $msgs[] = array('err', $pdfPath, 'no private folder could be made beside the PDF');
            } else {
                $printed = $folder . '/' . basename($pdfPath);
                $status = $this->runConverter($xmlPath, $printed, $msgs);
                clearstatcache();
                $size = is_file($printed) && !is_link($printed) ? filesize($printed) : -1;
                if ($size > 0) {
                    $ok = @rename($printed, $pdfPath);
                    if (!$ok) $msgs[] = array('err', $pdfPath, 'the PDF could not be put under its name');
                } elseif ($size === 0) {
                    $msgs[] = array('err', $pdfPath, 'the converter wrote an empty PDF; it was removed');
                } else {
                    $msgs[] = array('err', $pdfPath, 'no PDF was made (converter exit status ' . $status . ')');
                }
                self::removeTree($folder);
            }
            // A PDF left from an earlier attempt must not pass for this one.
            if (!$ok && (file_exists($pdfPath) || is_link($pdfPath))) @unlink($pdfPath);
        }
        $this->appendToLog($xmlPath, $pdfPath, $msgs, $ok);
        return $ok;
    }

    // Runs the converter on the page, printing to $pdfPath, and adds its console lines to $msgs;
    // returns its exit status.
    private function runConverter($page, $pdfPath, &$msgs)
    {
        $profile = '';
        if (basename($this->converter) === 'prince') {
            $arguments = array($page, '-o', $pdfPath);
        } else {
            // A profile of its own for each conversion: no state from other runs, nothing left behind.
            $profile = self::freshFolder();
            $arguments = array(
                '--headless',
                '--no-sandbox',
                '--no-pdf-header-footer',
                '--user-data-dir=' . $profile,
                // The machine may have no network: nothing is to be fetched or updated.
                '--disable-background-networking',
                '--disable-component-update',
                '--no-first-run',
                '--disable-sync',
                '--disable-gpu',
                '--print-to-pdf=' . $pdfPath,
                self::fileUrl($page),
            );
        }
        $command = escapeshellarg($this->converter);
        foreach ($arguments as $argument) $command .= ' ' . escapeshellarg($argument);
        $lines = array();
        $status = -1;
        exec($command . ' </dev/null 2>&1', $lines, $status);
        foreach ($lines as $line) {
            $message = self::messageOf($line);
            if ($message !== NULL) $msgs[] = $message;
        }
        if ($profile !== '') self::removeTree($profile);
        return $status;
    }

    // One console line of the converter as a message. Chromium's log lines read
    // "[process/time:LEVEL:source(line)] text", prince's "prince: [location: ]error|warning: text";
    // any other line is information.
    private static function messageOf($line)
    {
        $line = rtrim($line);
        if ($line === '') return NULL;
        if (preg_match('/^\[[^\]]*?:(VERBOSE\d*|INFO|WARNING|ERROR|FATAL):([^\]]*)\]\s?(.*)$/', $line, $m)) {
            $kinds = array('ERROR' => 'err', 'FATAL' => 'err', 'WARNING' => 'wrn');
            $kind = isset($kinds[$m[1]]) ? $kinds[$m[1]] : 'inf';
            return array($kind, $m[2], $m[3]);
        }
        if (preg_match('/^prince: (?:(.*?): )?(error|warning): (.*)$/', $line, $m)) {
            return array($m[2] === 'error' ? 'err' : 'wrn', $m[1], $m[3]);
        }
        return array('inf', '', $line);
    }

    private function appendToLog($page, $pdfPath, $msgs, $ok)
    {
        if ($this->logFile === '') return;
        $text = date('Y-m-d H:i:s') . ' converting ' . $page . ' to ' . $pdfPath . "\n";
        foreach ($msgs as $message) {
            $text .= $message[0] . ': ' . ($message[1] === '' ? '' : $message[1] . ': ') . $message[2] . "\n";
        }
        $text .= date('Y-m-d H:i:s') . ' finished: ' . ($ok ? 'success' : 'failure') . "\n";
        @file_put_contents($this->logFile, $text, FILE_APPEND | LOCK_EX);
    }

    // The page's path with its extension replaced by ".pdf" (added when it has none).
    private static function pdfPathOf($page)
    {
        $slash = strrpos($page, '/');
        $dot = strrpos($page, '.');
        $name = ($dot !== FALSE && ($slash === FALSE || $dot > $slash + 1)) ? substr($page, 0, $dot) : $page;
        return $name . '.pdf';
    }

    // A file URL for the page, every path segment percent-encoded; a relative page is taken from the
    // working directory. Relative image paths in the page then resolve against the page's folder.
    private static function fileUrl($page)
    {
        if (substr($page, 0, 1) !== '/') $page = getcwd() . '/' . $page;
        return 'file://' . implode('/', array_map('rawurlencode', explode('/', $page)));
    }

    private static function findOnPath($program)
    {
        foreach (explode(':', (string)getenv('PATH')) as $dir) {
            if ($dir === '') continue;
            $candidate = rtrim($dir, '/') . '/' . $program;
            if (is_file($candidate) && is_executable($candidate)) return $candidate;
        }
        $debian = '/usr/bin/' . $program;
        return is_file($debian) && is_executable($debian) ? $debian : '';
    }

    // A folder of mode 0700 beside the PDF (so on its file system), named "." + the PDF's name + "-"
    // + 16 hexadecimal digits; the program that runs this interface removes one a killed
    // conversion left. Empty when none can be made.
    private static function privateFolderBeside($pdfPath)
    {
        $slash = strrpos($pdfPath, '/');
        $dir = $slash === FALSE ? '.' : substr($pdfPath, 0, $slash);
        if ($dir === '') $dir = '/';
        $name = $slash === FALSE ? $pdfPath : substr($pdfPath, $slash + 1);
        for ($attempt = 0; $attempt < 10; ++$attempt) {
            $folder = rtrim($dir, '/') . '/.' . $name . '-' . bin2hex(random_bytes(8));
            if (@mkdir($folder, 0700)) {
                @chmod($folder, 0700);
                return $folder;
            }
        }
        return '';
    }

    private static function freshFolder()
    {
        for ($attempt = 0; $attempt < 10; ++$attempt) {
            $dir = sys_get_temp_dir() . '/korvelan-pdf-' . bin2hex(random_bytes(8));
            if (@mkdir($dir, 0700)) return $dir;
        }
        return '';
    }

    private static function removeTree($dir)
    {
        if (is_link($dir) || !is_dir($dir)) {
            @unlink($dir);
            return;
        }
        foreach (scandir($dir) as $entry) {
            if ($entry !== '.' && $entry !== '..') self::removeTree($dir . '/' . $entry);
        }
        @rmdir($dir);
    }
}
