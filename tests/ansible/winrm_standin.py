"""A stand-in for the WinRM service of a Windows host, on loopback, for ansible-core's own winrm
connection (pywinrm, HTTP, Basic authentication): the WS-Management shell operations it sends
(Create, Command, Receive, Signal, Delete) are answered as the service answers them, and each
command runs as WinRS runs it (powershell_subset.py) in the Wine prefix of the run. Anything
else, a command outside the subset among it, is answered with a SOAP fault and logged.

    with WinRMStandIn(user, password, wine, prefix, log) as service: ... service.port ...
"""
import base64
import http.server
import itertools
import threading
import uuid
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape

import powershell_subset

NS = dict(s='http://www.w3.org/2003/05/soap-envelope',
          a='http://schemas.xmlsoap.org/ws/2004/08/addressing',
          w='http://schemas.dmtf.org/wbem/wsman/1/wsman.xsd',
          x='http://schemas.xmlsoap.org/ws/2004/09/transfer',
          rsp='http://schemas.microsoft.com/wbem/wsman/1/windows/shell')
SHELL_URI = 'http://schemas.microsoft.com/wbem/wsman/1/windows/shell/cmd'
TRANSFER = 'http://schemas.xmlsoap.org/ws/2004/09/transfer/'
SHELL = 'http://schemas.microsoft.com/wbem/wsman/1/windows/shell/'
DONE = SHELL + 'CommandState/Done'
TERMINATE = SHELL + 'signal/terminate'


class Fault(Exception):
    pass


def envelope(action, relates_to, body):
    return ('<s:Envelope xmlns:s="%(s)s" xmlns:a="%(a)s" xmlns:w="%(w)s" xmlns:x="%(x)s" '
            'xmlns:rsp="%(rsp)s"><s:Header><a:Action>%%s</a:Action><a:MessageID>uuid:%%s'
            '</a:MessageID><a:RelatesTo>%%s</a:RelatesTo></s:Header><s:Body>%%s</s:Body>'
            '</s:Envelope>' % NS) % (action, uuid.uuid4(), relates_to, body)


def fault(text):
    return ('<s:Envelope xmlns:s="%s"><s:Body><s:Fault><s:Code><s:Value>s:Receiver</s:Value>'
            '</s:Code><s:Reason><s:Text xml:lang="en-US">%s</s:Text></s:Reason></s:Fault>'
            '</s:Body></s:Envelope>' % (NS['s'], escape(text)))


class WinRMStandIn:
    def __init__(self, user, password, wine, prefix, log):
        self.authorization = 'Basic ' + base64.b64encode(
            ('%s:%s' % (user, password)).encode()).decode()
        self.wine, self.prefix, self.log = wine, prefix, log
        self.lock = threading.Lock()
        self.shells, self.commands = {}, {}
        self.ids = itertools.count(1)
        service = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = 'HTTP/1.1'

            def do_POST(self):
                request = self.rfile.read(int(self.headers.get('Content-Length', 0)))
                if self.headers.get('Authorization') != service.authorization:
                    return self.answer(401, b'')
                if self.path != '/wsman':
                    return self.answer(404, b'')
                try:
                    return self.answer(200, service.operation(request).encode('utf-8'))
                except (Fault, powershell_subset.Refused, ET.ParseError) as error:
                    with open(service.log, 'a') as log:
                        log.write('powershell-subset: refused: %s\n' % error)
                    return self.answer(500, fault(str(error)).encode('utf-8'))

            def answer(self, status, body):
                self.send_response(status)
                self.send_header('Content-Type', 'application/soap+xml;charset=UTF-8')
                self.send_header('Content-Length', str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()
        self.thread.join(timeout=10)

    def operation(self, request):
        root = ET.fromstring(request)
        header, body = root.find('s:Header', NS), root.find('s:Body', NS)
        action = header.findtext('a:Action', namespaces=NS)
        message_id = header.findtext('a:MessageID', namespaces=NS)
        if header.findtext('w:ResourceURI', namespaces=NS) != SHELL_URI:
            raise Fault('only the cmd shell resource is served')
        options = dict((o.get('Name'), o.text) for o in header.iterfind('w:OptionSet/w:Option', NS))
        shell_id = header.findtext("w:SelectorSet/w:Selector[@Name='ShellId']", namespaces=NS)
        with self.lock:
            if action == TRANSFER + 'Create':
                return self.create(message_id, options)
            if shell_id not in self.shells:
                raise Fault('no shell %r' % shell_id)
            if action == SHELL + 'Command':
                return self.command(message_id, shell_id, body, options)
            if action == TRANSFER + 'Delete':
                del self.shells[shell_id]
                return envelope(TRANSFER + 'DeleteResponse', message_id, '')
            if action == SHELL + 'Signal':
                signal = body.find('rsp:Signal', NS)
                if signal.findtext('rsp:Code', namespaces=NS) != TERMINATE:
                    raise Fault('only terminate is served')
                self.commands.pop(signal.get('CommandId'), None)
                return envelope(SHELL + 'SignalResponse', message_id, '<rsp:SignalResponse/>')
            if action != SHELL + 'Receive':
                raise Fault('the operation %r is not served' % action)
            command_id = body.find('rsp:Receive/rsp:DesiredStream', NS).get('CommandId')
            command = self.commands.pop(command_id, None)
            codepage = self.shells[shell_id]['codepage']
        if command is None:
            raise Fault('no command %r waiting for its output' % command_id)
        # The whole run in one Receive: talq ends well within the operation timeout.
        rc, out, err = powershell_subset.run_over_winrs(
            command['command'], command['arguments'], codepage, command['skip_cmd_shell'],
            self.wine, self.prefix)
        streams = ''.join('<rsp:Stream Name="%s" CommandId="%s">%s</rsp:Stream>'
                          '<rsp:Stream Name="%s" CommandId="%s" End="true"></rsp:Stream>'
                          % (name, command_id, base64.b64encode(data).decode(), name, command_id)
                          for name, data in (('stdout', out), ('stderr', err)))
        return envelope(SHELL + 'ReceiveResponse', message_id,
                        '<rsp:ReceiveResponse>%s<rsp:CommandState CommandId="%s" State="%s">'
                        '<rsp:ExitCode>%d</rsp:ExitCode></rsp:CommandState></rsp:ReceiveResponse>'
                        % (streams, command_id, DONE, rc))

    def create(self, message_id, options):
        shell_id = 'SHELL-%d' % next(self.ids)
        self.shells[shell_id] = dict(codepage=options.get('WINRS_CODEPAGE'))
        return envelope(TRANSFER + 'CreateResponse', message_id,
                        '<x:ResourceCreated><a:Address>http://127.0.0.1/wsman</a:Address>'
                        '<a:ReferenceParameters><w:ResourceURI>%s</w:ResourceURI><w:SelectorSet>'
                        '<w:Selector Name="ShellId">%s</w:Selector></w:SelectorSet>'
                        '</a:ReferenceParameters></x:ResourceCreated>' % (SHELL_URI, shell_id))

    def command(self, message_id, shell_id, body, options):
        if options.get('WINRS_CONSOLEMODE_STDIN') != 'TRUE':
            raise Fault('a command that reads standard input is not served')
        line = body.find('rsp:CommandLine', NS)
        command_id = 'COMMAND-%d' % next(self.ids)
        self.commands[command_id] = dict(
            command=line.findtext('rsp:Command', namespaces=NS),
            arguments=line.findtext('rsp:Arguments', default='', namespaces=NS),
            skip_cmd_shell=options.get('WINRS_SKIP_CMD_SHELL'))
        return envelope(SHELL + 'CommandResponse', message_id,
                        '<rsp:CommandResponse><rsp:CommandId>%s</rsp:CommandId>'
                        '</rsp:CommandResponse>' % command_id)
